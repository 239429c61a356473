#include "mainwin/widgets/record_form_pages.h"

#include "editors/widgets/currency_edit.h"
#include "editors/widgets/date_edit.h"
#include "editors/date_edit_text.h"
#include "editors/widgets/edit_lists_window.h"
#include "editors/widgets/lookup.h"
#include "editors/widgets/multi_img_control.h"
#include "mainwin/field_fonts.h"
#include "mainwin/field_label_rules.h"
#include "mainwin/widgets/field_menus.h"
#include "mainwin/form_stretch.h"
#include "mainwin/page_order.h"
#include "mainwin/template_saving.h"
#include "core/help_topics.h"
#include "core/prompt.h"
#include "settings/colour_scheme.h"
#include "settings/startup_settings.h"
#include "settings/template_list.h"
#include "database/database_manager.h"
#include "database/list_editor.h"
#include "database/record_schema.h"
#include "store/store_error.h"
#include "store/table.h"

#include <QApplication>
#include <QDir>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabBar>

#include <algorithm>
#include <map>

namespace numora::mainwin {

namespace {

const QString kLabelHint = QStringLiteral("Click to Display Popup Menu");
constexpr int kLabelPixelSize = 11;
constexpr QPoint kLabelMenuOffset{10, 10};

QFont labelFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kLabelPixelSize);
    return font;
}

int helpContextOf(ControlKind kind)
{
    return kind == ControlKind::Picture ? help::PictureField : help::FieldEditing;
}

settings::FieldStyle fieldStyleOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Memo: return settings::FieldStyle::MultiLine;
    case ControlKind::Currency: return settings::FieldStyle::Currency;
    default: return settings::FieldStyle::OneLine;
    }
}

ColourGroup colourGroupOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Memo: return ColourGroup::MultiLineFields;
    case ControlKind::Currency: return ColourGroup::CurrencyFields;
    default: return ColourGroup::SingleLineFields;
    }
}

StretchKind stretchKindOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Memo: return StretchKind::MultiLine;
    case ControlKind::Picture: return StretchKind::Picture;
    default: return StretchKind::OneLine;
    }
}

void paintTextAndBase(QWidget *widget, const QColor &text, const QColor &base)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Base, base);
    widget->setPalette(palette);
}

void paintControl(const FormField &field, const QColor &text, const QColor &background)
{
    if (field.kind == ControlKind::Picture)
        return;
    if (auto *edit = qobject_cast<editors::TMyBtnEdit *>(field.control))
        edit->setNormalColours(text, background);
    else
        paintTextAndBase(field.control, text, background);
}

// The widget the user right-clicks: a lookup's edit part rather than the combo box.
QWidget *menuTarget(QWidget *control)
{
    if (auto *lookup = qobject_cast<editors::TLookup *>(control); lookup && lookup->lineEdit())
        return lookup->lineEdit();
    return control;
}

} // namespace

struct RecordFormPages::Page {
    QWidget *panel = nullptr;
    int layoutPage = 0;
    int fieldCount = 0;
};

RecordFormPages::RecordFormPages(const RecordFormContext &context, const FormLayout &layout, QWidget *parent)
    : QTabWidget(parent), context_(context), designPageSize_(layout.designPageSize)
{
    askText = [this](const QString &caption, const QString &label, const QString &text) -> std::optional<QString> {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, caption, label, QLineEdit::Normal, text, &ok);
        return ok ? std::optional<QString>(answer) : std::nullopt;
    };
    chooseLabelTemplate = [this](const QStringList &names) -> std::optional<QString> {
        bool ok = false;
        const QString name = QInputDialog::getItem(this, QStringLiteral("Load Labels From Template"),
                                                   QStringLiteral("Templates:"), names, 0, false, &ok);
        return ok && !name.isEmpty() ? std::optional<QString>(name) : std::nullopt;
    };
    chooseFont = [this](const QFont &font) -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, this);
        return ok ? std::optional<QFont>(chosen) : std::nullopt;
    };
    editLists = [this](int index) {
        QStringList sources;
        for (const FormField &field : fields_) {
            while (sources.size() < field.number)
                sources << QString();
            sources[field.number - 1] = lookupSource(positionOf(field.control));
        }
        database::DatabaseManager &database = context_.database;
        editors::EditListsWindow window(context_.prompt, context_.progress, database.location.folder,
                                        database.location.tableFileName,
                                        database::listChoices(context_.settings.fieldNames.names(), sources), this);
        window.chooseList(index);
        window.exec();
    };

    tabBar()->setMovable(true); // pages are reordered by dragging their tabs
    buildPages(layout);
    design_ = arrangement();
    applyLabels();
    applyDateFormats();
    applyFieldFonts();
    applyColours();
}

RecordFormPages::~RecordFormPages() = default;

// ---------------------------------------------------------------------------
// Building the pages and the binding lists

void RecordFormPages::buildPages(const FormLayout &layout)
{
    for (int p = 0; p < layout.pageCaptions.size(); ++p) {
        auto *panel = new QWidget;
        panel->setObjectName(QStringLiteral("Part%1").arg(p + 1));
        panel->setAutoFillBackground(true);
        panel->installEventFilter(this);
        addTab(panel, layout.pageCaptions[p]);
        pages_.push_back(std::make_unique<Page>(Page{panel, p, 0}));
    }
    for (const FieldLayout &field : layout.fields)
        if (field.number > 0 && field.page >= 0 && field.page < int(pages_.size()))
            addField(field, pages_[size_t(field.page)]->panel);

    // Date controls in the order they are found, page by page.
    for (const auto &page : pages_)
        for (const FormField &field : fields_)
            if (field.page == page->panel && field.kind == ControlKind::Date)
                dateControls_ << static_cast<editors::TDateEdit *>(field.control);

    // Positions follow the field numbers; numbers the layout skips leave no gap.
    std::stable_sort(fields_.begin(), fields_.end(),
                     [](const FormField &a, const FormField &b) { return a.number < b.number; });
    for (const FormField &field : fields_)
        wireField(field);

    for (auto page = pages_.begin(); page != pages_.end();) {
        if ((*page)->fieldCount > 0) {
            ++page;
            continue;
        }
        removeTab(indexOf((*page)->panel));
        delete (*page)->panel;
        page = pages_.erase(page);
    }
}

void RecordFormPages::addField(const FieldLayout &layout, QWidget *panel)
{
    auto *label = new QLabel(layout.label, panel);
    label->setObjectName(QStringLiteral("L%1").arg(layout.number));
    label->setProperty("Tag", layout.number);
    label->setFont(labelFont());
    label->setToolTip(kLabelHint);
    label->move(layout.labelAt);
    label->adjustSize();
    label->installEventFilter(this);
    if (int(labels_.size()) < layout.number)
        labels_.resize(size_t(layout.number), nullptr);
    labels_[size_t(layout.number - 1)] = label;

    FormField field;
    field.number = layout.number;
    field.kind = layout.kind;
    field.control = FormField::createControl(layout, panel);
    field.label = label;
    field.page = panel;
    fields_.push_back(field);
    for (const auto &page : pages_)
        if (page->panel == panel)
            ++page->fieldCount;
}

void RecordFormPages::wireField(const FormField &field)
{
    switch (field.kind) {
    case ControlKind::Date:
        wireDateField(static_cast<editors::TDateEdit *>(field.control));
        return;
    case ControlKind::Picture:
        static_cast<editors::TDbMultiImgControl *>(field.control)->setPrompt(&context_.prompt);
        return;
    default:
        break;
    }
    QWidget *target = menuTarget(field.control);
    target->setContextMenuPolicy(Qt::CustomContextMenu);
    QWidget *control = field.control;
    connect(target, &QWidget::customContextMenuRequested, this, [this, control, target](const QPoint &at) {
        if (auto menu = createFieldMenu(positionOf(control)))
            menu->exec(target->mapToGlobal(at));
    });
}

void RecordFormPages::wireDateField(editors::TDateEdit *edit)
{
    edit->setHelpContext(help::FieldEditing);
    edit->setPrompt(&context_.prompt);
    connect(edit, &editors::TDateEdit::OnSetFont, this, [this] { editFont(false); });
    connect(edit, &editors::TDateEdit::OnSetColor, this, [this] { runColourGroup(ColourGroup::SingleLineFields); });
    connect(edit, &editors::TDateEdit::OnSetFormat, this,
            [this, edit](settings::DateFormat format) { changeDateFormat(edit, int(format)); });
    connect(edit, &editors::TDateEdit::helpRequested, this, &RecordFormPages::helpRequested);
}

QLabel *RecordFormPages::fieldLabel(int position) const
{
    return position >= 0 && position < int(labels_.size()) ? labels_[size_t(position)] : nullptr;
}

int RecordFormPages::fieldCountOnPage(int layoutPage) const
{
    for (const auto &page : pages_)
        if (page->layoutPage == layoutPage)
            return page->fieldCount;
    return 0;
}

int RecordFormPages::positionOf(const QWidget *control) const
{
    for (size_t p = 0; p < fields_.size(); ++p)
        if (fields_[p].control == control)
            return int(p);
    return -1;
}

// ---------------------------------------------------------------------------
// Moving values

// A damaged field is reported once and left empty; the other fields are still loaded, so
// that no field keeps the previous record's value and writes it into this one.
bool RecordFormPages::loadFrom(const store::Table &table)
{
    highlighted_ = nullptr;
    applyColours();
    bool whole = true;
    for (const FormField &field : fields_) {
        const auto damaged = [&] {
            field.clearValue();
            if (whole)
                reportDamagedRecord(table);
            whole = false;
        };
        try {
            field.loadValue(table);
        } catch (const store::EngineError &) {
            damaged();
        } catch (const store::DatabaseError &) {
            damaged();
        }
        // Painting goes on during a long load; the user's input waits until it is done.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return whole;
}

bool RecordFormPages::writeTo(store::Table &table) { return writeFields(table, PictureWrite::WhenChanged); }

bool RecordFormPages::copyTo(store::Table &table) { return writeFields(table, PictureWrite::Always); }

bool RecordFormPages::writeFields(store::Table &table, PictureWrite pictures)
{
    for (size_t p = 0; p < fields_.size(); ++p) {
        try {
            fields_[p].writeValue(table, pictures, todayDefaultFields.contains(int(p)));
        } catch (const store::EngineError &) {
            reportDamagedRecord(table);
            return false;
        }
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

void RecordFormPages::reportDamagedRecord(const store::Table &table)
{
    // Field 2 names the record in the engine's layouts.
    QString title;
    try {
        title = table.text(database::record_column::fieldColumn(2));
    } catch (const store::EngineError &) {
    } catch (const store::DatabaseError &) {
    }
    context_.prompt.ask(QStringLiteral("Corrupt Memo Field!!! You should delete record: ") + title + u'\r'
                            + QStringLiteral("You may have to use Advanced/Maintenance/Repair Data File function."),
                        MessageKind::Error, Button::Ok | Button::Help, help::CorruptMemoField);
}

void RecordFormPages::clear()
{
    for (const FormField &field : fields_)
        field.clearValue();
}

bool RecordFormPages::isEmpty() const
{
    return std::none_of(fields_.begin(), fields_.end(), [](const FormField &field) { return field.isFilled(); });
}

bool RecordFormPages::requiredFieldsFilled() const
{
    return std::all_of(requiredFields.begin(), requiredFields.end(), [this](int position) {
        return position < 0 || position >= fieldCount() || field(position).hasRequiredValue();
    });
}

bool RecordFormPages::checkValues()
{
    for (editors::TDateEdit *edit : dateControls_) {
        if (edit->isReadable())
            continue;
        showField(positionOf(edit));
        edit->setFocus(Qt::OtherFocusReason);
        return edit->checkDate();
    }
    return true;
}

void RecordFormPages::setEditable(bool editable)
{
    editable_ = editable;
    for (const FormField &field : fields_)
        field.setEditable(editable);
    applyColours();
}

void RecordFormPages::focusFirstField()
{
    if (QWidget *control = showField(0))
        control->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------
// Showing fields

QWidget *RecordFormPages::showField(int position)
{
    if (position < 0 || position >= fieldCount())
        return nullptr;
    setCurrentWidget(field(position).page);
    return field(position).control;
}

void RecordFormPages::highlightFoundField(int position, const QString &foundText)
{
    if (!editable_ || position < 0 || position >= fieldCount())
        return;
    if (highlighted_)
        if (const int previous = positionOf(highlighted_); previous >= 0)
            applyFieldColours(field(previous));
    const FormField &found = field(position);
    showField(position);
    found.control->setFocus(Qt::OtherFocusReason);
    if (auto *currency = qobject_cast<editors::TCurrencyEdit *>(found.control)) {
        currency->setPlusColour(Qt::yellow);
        currency->setNegColour(Qt::yellow);
    }
    paintControl(found, Qt::yellow, Qt::red);
    highlighted_ = found.control;
    if (auto *memo = qobject_cast<QPlainTextEdit *>(found.control); memo && !foundText.isEmpty()) {
        memo->moveCursor(QTextCursor::Start);
        memo->find(foundText);
    }
}

// ---------------------------------------------------------------------------
// Applying settings

void RecordFormPages::attachDatabase()
{
    if (const store::Table &records = context_.database.recordTable(); records.isOpen())
        for (const FormField &field : fields_)
            field.limitToColumn(records.fields());
    const editors::LookupEnvironment environment{
        context_.database.location.folder, context_.database.programFolder, &context_.prompt,
        [this] { return context_.settings.databaseOptions.autoFill; }};
    // Lookups on one list are twins: what one learns, the other offers at once.
    std::map<QString, editors::TLookup *> firstOnList;
    for (const FormField &field : fields_) {
        auto *lookup = qobject_cast<editors::TLookup *>(field.control);
        if (!lookup)
            continue;
        const QString source = lookup->source().toLower();
        if (const auto twin = firstOnList.find(source); twin != firstOnList.end()) {
            lookup->setTwin(twin->second);
            twin->second->setTwin(lookup);
        } else {
            firstOnList.emplace(source, lookup);
        }
        lookup->attach(environment);
    }
}

void RecordFormPages::applyLabels()
{
    const QStringList &names = context_.settings.fieldNames.names();
    for (size_t p = 0; p < labels_.size() && p < size_t(names.size()); ++p) {
        if (!labels_[p])
            continue;
        labels_[p]->setText(names[qsizetype(p)]);
        labels_[p]->adjustSize();
    }
}

void RecordFormPages::applyDateFormats()
{
    const QList<settings::DateFormat> &formats = context_.settings.dateFormats.formats();
    for (qsizetype i = 0; i < dateControls_.size(); ++i)
        dateControls_[i]->setDateFormat(i < formats.size() ? formats[i] : settings::DateFormat::MonthDayYear);
}

QString RecordFormPages::dateText(int column, const QDate &date) const
{
    const QList<settings::DateFormat> &formats = context_.settings.dateFormats.formats();
    for (qsizetype i = 0; i < dateControls_.size(); ++i) {
        if (fields_.at(size_t(positionOf(dateControls_[i]))).column() != column)
            continue;
        const QString system = QLocale().dateFormat(QLocale::ShortFormat);
        editors::DateEditText text(
            editors::patternOf(i < formats.size() ? formats[i] : settings::DateFormat::MonthDayYear),
            editors::separatorFromSystemFormat(system));
        text.setDate(date);
        return text.isEmpty() ? QString() : text.text();
    }
    return QLocale().toString(date, QLocale::ShortFormat);
}

void RecordFormPages::applyFieldFonts()
{
    const settings::DatabaseOptions &options = context_.settings.databaseOptions;
    const QFont oneLine = toQFont(options.lineEditFont);
    const QFont multiLine = toQFont(options.memoEditFont);
    for (const FormField &field : fields_)
        if (field.kind != ControlKind::Picture)
            field.control->setFont(field.kind == ControlKind::Memo ? multiLine : oneLine);
    if (lineFontApplied_ && *lineFontApplied_ != options.lineEditFont)
        reflow();
    lineFontApplied_ = options.lineEditFont;
}

void RecordFormPages::applyColours()
{
    for (const FormField &field : fields_)
        applyFieldColours(field);
    const settings::ColourScheme &scheme = context_.colours;
    for (QLabel *label : labels_) {
        if (!label)
            continue;
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText,
                         scheme.colour(settings::SchemeElement::FormLabelsText).toQColor(palette));
        palette.setColor(QPalette::Window,
                         scheme.colour(settings::SchemeElement::FormLabelsBackground).toQColor(palette));
        label->setPalette(palette);
    }
}

void RecordFormPages::applyFieldColours(const FormField &field)
{
    const settings::ColourScheme &scheme = context_.colours;
    const settings::FieldStyle style = fieldStyleOf(field.kind);
    // System colours come from the style's palette: the control's own has been painted
    // over, and its grey text would be the scheme's text colour by now.
    const QPalette palette = QApplication::palette(field.control);
    const auto colours = [&](bool negative, bool editable) {
        const settings::ColourPair pair = settings::fieldColours(scheme, style, negative, editable);
        return std::pair{pair.text.toQColor(palette), pair.background.toQColor(palette)};
    };
    const auto [text, background] = colours(false, true);
    const auto [readOnlyText, readOnlyBackground] = colours(false, false);
    if (auto *currency = qobject_cast<editors::TCurrencyEdit *>(field.control)) {
        currency->setPlusColour(text);
        currency->setNegColour(colours(true, true).first);
    }
    if (auto *edit = qobject_cast<editors::TMyBtnEdit *>(field.control)) {
        edit->setNormalColours(text, background);
        edit->setReadOnlyColours(readOnlyText, readOnlyBackground);
    } else if (editable_) {
        paintControl(field, text, background);
    } else {
        paintControl(field, readOnlyText, readOnlyBackground);
    }
}

void RecordFormPages::reloadLookupLists()
{
    for (const FormField &field : fields_)
        if (auto *lookup = qobject_cast<editors::TLookup *>(field.control))
            lookup->reloadItems();
}

const database::LookupList *RecordFormPages::lookupData(int position) const
{
    if (position < 0 || position >= fieldCount())
        return nullptr;
    const auto *lookup = qobject_cast<const editors::TLookup *>(field(position).control);
    return lookup ? lookup->list() : nullptr;
}

QString RecordFormPages::lookupSource(int position) const
{
    if (position < 0 || position >= fieldCount())
        return {};
    const auto *lookup = qobject_cast<const editors::TLookup *>(field(position).control);
    return lookup ? lookup->source() : QString();
}

// ---------------------------------------------------------------------------
// Page order

void RecordFormPages::readPageOrder()
{
    const auto line = mainwin::readPageOrder(context_.settings.folders.settingsFolder,
                                             context_.database.location.tableFileName);
    if (line) {
        QStringList captions;
        for (int i = 0; i < count(); ++i)
            captions << tabText(i);
        const QStringList ordered = orderedPageCaptions(captions, *line);
        for (int i = 0; i < ordered.size(); ++i)
            for (int from = i; from < count(); ++from)
                if (tabText(from) == ordered[i]) {
                    tabBar()->moveTab(from, i);
                    break;
                }
    }
    setCurrentIndex(0);
}

bool RecordFormPages::writePageOrder() const
{
    QStringList captions;
    for (int i = 0; i < count(); ++i)
        captions << tabText(i);
    return mainwin::writePageOrder(context_.settings.folders.settingsFolder, context_.database.location.tableFileName,
                                   pageOrderLine(captions));
}

// ---------------------------------------------------------------------------
// Keyboard movement

int RecordFormPages::focusedPosition() const
{
    const QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return -1;
    for (size_t p = 0; p < fields_.size(); ++p)
        if (fields_[p].control == focus || fields_[p].control->isAncestorOf(focus))
            return int(p);
    return -1;
}

// Only Tab and Backtab from a field the user can see turn the page. Qt also asks here
// when it takes the focus off a field it is hiding (its page is leaving, the tab bar has
// already moved on) or disabling (the record went into use); turning the page then
// would leave the tab bar and the page showing different pages.
bool RecordFormPages::focusNextPrevChild(bool next)
{
    const int position = focusedPosition();
    if (position < 0)
        return QTabWidget::focusNextPrevChild(next);
    const QWidget *focus = QApplication::focusWidget();
    if (!focus->isVisible() || !focus->isEnabled())
        return QTabWidget::focusNextPrevChild(next);
    return moveFocus(position, next);
}

// In field order within the page; past its last (first) field, to the first (last)
// field of the next (previous) page, the pages wrapping round.
bool RecordFormPages::moveFocus(int from, bool next)
{
    QWidget *page = field(from).page;
    const int step = next ? 1 : -1;
    for (int p = from + step; p >= 0 && p < fieldCount(); p += step) {
        if (field(p).page == page && field(p).takesTabFocus()) {
            field(p).control->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    const int target = (indexOf(page) + step + count()) % count();
    setCurrentIndex(target);
    focusOnPage(widget(target), next);
    return true;
}

void RecordFormPages::focusOnPage(QWidget *page, bool first)
{
    const int step = first ? 1 : -1;
    for (int p = first ? 0 : fieldCount() - 1; p >= 0 && p < fieldCount(); p += step) {
        if (field(p).page == page && field(p).takesTabFocus()) {
            field(p).control->setFocus(first ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Field menus

std::unique_ptr<QMenu> RecordFormPages::createFieldMenu(int position)
{
    if (position < 0 || position >= fieldCount())
        return nullptr;
    const FormField &target = field(position);
    const bool multiLine = target.kind == ControlKind::Memo;
    const bool lookup = target.kind == ControlKind::Lookup;
    FieldMenuActions actions;
    actions.font = [this, multiLine] { editFont(multiLine); };
    if (editColours)
        actions.colour = [this, group = colourGroupOf(target.kind)] { runColourGroup(group); };
    actions.help = [this, context = helpContextOf(target.kind)] { emit helpRequested(context); };
    if (lookup) {
        actions.editList = [this, position] { openEditLists(position); };
        actions.toggleAutoFill = [this] {
            bool &autoFill = context_.settings.databaseOptions.autoFill;
            autoFill = !autoFill;
        };
        actions.autoFillOn = context_.settings.databaseOptions.autoFill;
    }
    const FieldMenuKind kind = multiLine ? FieldMenuKind::MultiLine
                               : lookup  ? FieldMenuKind::Lookup
                                         : FieldMenuKind::OneLine;
    return mainwin::createFieldMenu(target.control, kind, actions);
}

void RecordFormPages::editFont(bool multiLine)
{
    settings::DatabaseOptions &options = context_.settings.databaseOptions;
    settings::FontSetting &setting = multiLine ? options.memoEditFont : options.lineEditFont;
    const auto chosen = chooseFont ? chooseFont(toQFont(setting)) : std::nullopt;
    if (!chosen)
        return;
    setting = toFontSetting(*chosen);
    applyFieldFonts();
    emit fontsChanged();
}

void RecordFormPages::runColourGroup(ColourGroup group)
{
    if (!editColours || !editColours(group))
        return;
    applyColours();
    emit coloursChanged();
}

void RecordFormPages::changeDateFormat(editors::TDateEdit *edit, int format)
{
    const qsizetype index = dateControls_.indexOf(edit);
    if (index < 0)
        return;
    settings::DateFormatList &formats = context_.settings.dateFormats;
    if (formats.formats().size() <= index) {
        // A date.dat written for fewer date fields: the missing ones start from the
        // first format, the known ones keep theirs.
        settings::DateFormatList complete;
        complete.fillIfEmpty(int(dateControls_.size()));
        for (qsizetype i = 0; i < formats.formats().size() && i < dateControls_.size(); ++i)
            complete.setFormat(int(i), formats.formats()[i]);
        formats = complete;
    }
    formats.setFormat(int(index), settings::dateFormatFromCode(format));
    edit->setDateFormat(formats.formats()[index]);
    formats.save(context_.settings.folders.settingsFolder, context_.prompt);
    emit listRefreshRequested();
}

void RecordFormPages::openEditLists(int position)
{
    int ordinal = 0;
    for (int p = 0; p < position; ++p)
        if (field(p).kind == ControlKind::Lookup)
            ++ordinal;
    if (editLists)
        editLists(ordinal);
    reloadLookupLists();
}

// ---------------------------------------------------------------------------
// Label menu

std::unique_ptr<QMenu> RecordFormPages::createLabelMenu(int fieldNumber)
{
    auto menu = std::make_unique<QMenu>();
    menu->addAction(QStringLiteral("&Text..."), this, [this, fieldNumber] { changeLabelText(fieldNumber); });
    menu->addAction(QStringLiteral("&Color..."), this, &RecordFormPages::editLabelColours)
        ->setEnabled(editColours != nullptr);
    menu->addAction(QStringLiteral("&Load From Template..."), this, &RecordFormPages::loadLabelsFromTemplate);
    menu->addAction(QStringLiteral("&Save As Template..."), this, &RecordFormPages::saveLabelsAsTemplate);
    return menu;
}

void RecordFormPages::popUpLabelMenu(QLabel *label)
{
    auto menu = createLabelMenu(label->property("Tag").toInt());
    menu->exec(label->mapToGlobal(kLabelMenuOffset));
}

void RecordFormPages::changeLabelText(int fieldNumber)
{
    QLabel *label = fieldLabel(fieldNumber - 1);
    if (!label || !askText)
        return;
    settings::FieldNameList &fieldNames = context_.settings.fieldNames;
    QStringList names = fieldNames.names();
    const auto text = askText(QStringLiteral("Change Label Text"), QStringLiteral("Enter New Text:"), label->text());
    if (!text)
        return;
    if (const LabelCheck check = checkLabelText(*text, names); check != LabelCheck::Accepted) {
        context_.prompt.inform(labelRefusalMessage(check), MessageKind::Error);
        return;
    }
    while (names.size() < fieldNumber)
        names << QString();
    names[fieldNumber - 1] = *text;
    fieldNames.setNames(names);
    applyLabels();
    fieldNames.saveLabels(context_.settings.folders.settingsFolder, context_.prompt);
    emit labelsChanged();
}

void RecordFormPages::editLabelColours() { runColourGroup(ColourGroup::Labels); }

void RecordFormPages::loadLabelsFromTemplate()
{
    settings::LabelTemplateList &templates = context_.labelTemplates;
    QStringList names;
    for (int i = 0; i < templates.count(); ++i)
        names << templates.item(i).name;
    const auto chosen = chooseLabelTemplate ? chooseLabelTemplate(names) : std::nullopt;
    if (!chosen || chosen->isEmpty())
        return;
    const QString &folder = context_.settings.folders.settingsFolder;
    templates.setSettingsFolder(folder);
    const bool loaded = templates.load(*chosen);
    // A failed load has read labels.dat again: the labels show that.
    applyLabels();
    if (loaded)
        context_.settings.fieldNames.saveLabels(folder, context_.prompt);
    else
        context_.prompt.inform(QStringLiteral("Error Loading Template."), MessageKind::Error);
    emit labelsChanged();
}

void RecordFormPages::saveLabelsAsTemplate()
{
    const auto name = askText ? askText(QStringLiteral("Save Labels As Template"), QStringLiteral("Template Name:"), {})
                              : std::nullopt;
    if (!name || name->isEmpty())
        return;
    settings::LabelTemplateList &templates = context_.labelTemplates;
    const QString &folder = context_.settings.folders.settingsFolder;
    templates.setSettingsFolder(folder);
    saveAsTemplate(templates, *name, QDir(folder).filePath(settings::kLabelTemplatesFile), context_.prompt);
}

// ---------------------------------------------------------------------------
// Events

bool RecordFormPages::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (auto *label = qobject_cast<QLabel *>(watched); label && label->property("Tag").toInt() > 0) {
            popUpLabelMenu(label);
            return true;
        }
    }
    if (event->type() == QEvent::Resize) {
        // Every page gets the same size; the first to hear of it stretches them all.
        for (const auto &page : pages_)
            if (page->panel == watched)
                stretch(page->panel->size());
    }
    return QTabWidget::eventFilter(watched, event);
}

// The controls are always placed from the layout's own arrangement for the page's whole
// change in size, so no sequence of resizes (a hidden page is even sized 0 x 0) can wear
// their sizes away.
void RecordFormPages::stretch(QSize pageSize)
{
    if (pageSize.isEmpty() || pageSize == stretchedFor_)
        return;
    stretchedFor_ = pageSize;
    arrange(stretchForm(design_, pageSize, pageSize - designPageSize_));
}

// Rows of one-line fields make room for the new font in the layout's arrangement; the
// multi-line fields then take what is left of their pages, and the pages are stretched
// to their present size again.
void RecordFormPages::reflow()
{
    int lineHeight = 0;
    for (const FormField &field : fields_)
        if (stretchKindOf(field.kind) == StretchKind::OneLine)
            lineHeight = std::max({lineHeight, field.control->sizeHint().height(), field.control->minimumHeight()});
    for (StretchPage &page : design_)
        page = stretchPage(reflowPage(std::move(page), lineHeight), designPageSize_, QSize(0, 0));
    const QSize pageSize = stretchedFor_.isValid() ? stretchedFor_ : designPageSize_;
    arrange(stretchForm(design_, pageSize, pageSize - designPageSize_));
}

std::vector<StretchPage> RecordFormPages::arrangement() const
{
    std::vector<StretchPage> pages;
    for (const auto &page : pages_) {
        StretchPage &fields = pages.emplace_back();
        for (const FormField &field : fields_)
            if (field.page == page->panel)
                fields.push_back({stretchKindOf(field.kind), field.control->geometry(), field.label->geometry()});
    }
    return pages;
}

void RecordFormPages::arrange(const std::vector<StretchPage> &pages)
{
    for (size_t p = 0; p < pages_.size() && p < pages.size(); ++p) {
        auto placed = pages[p].begin();
        for (const FormField &field : fields_) {
            if (field.page != pages_[p]->panel || placed == pages[p].end())
                continue;
            field.control->setGeometry(placed->control);
            field.label->setGeometry(placed->label);
            ++placed;
        }
    }
}

} // namespace numora::mainwin
