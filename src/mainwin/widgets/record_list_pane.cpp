#include "mainwin/widgets/record_list_pane.h"

#include "mainwin/record_summary.h"
#include "mainwin/store_reads.h"
#include "core/log_categories.h"

#include "mainwin/widgets/letter_tab_bar.h"
#include "mainwin/letter_tab_geometry.h"
#include "mainwin/widgets/list_header.h"
#include "mainwin/list_paging.h"
#include "mainwin/record_list_geometry.h"
#include "mainwin/widgets/record_row_button.h"
#include "core/help_topics.h"
#include "settings/colour_scheme.h"
#include "database/database_manager.h"

#include <QApplication>
#include <array>
#include <functional>
#include <QFontDialog>
#include <QIcon>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStyle>

namespace numora::mainwin {

using store::FieldType;
using database::SortDescriptor;

namespace {

constexpr int kFirstFieldColumn = 2; // record table column of field 1
constexpr int kSortBarTop = 2;
constexpr int kSortIconGap = 4; // between a sort button's icon and its caption

const QString kEntryOrder = QStringLiteral("Entry Order");
const QString kNoSecondary = QStringLiteral("NONE");
const QStringList kFilterStates = {QStringLiteral("All Records"), QStringLiteral("Normal Filter"),
                                   QStringLiteral("Reversed Filter")};

struct PagingCaption {
    QString caption;
    QString hint;
    QString icon; // a freedesktop icon name, shown instead of the caption when compact
};
const PagingCaption kFirstCaption{QStringLiteral("First"),
                                  QStringLiteral("GoTo First Page [Ctrl+Home]"),
                                  QStringLiteral("go-first")};
const PagingCaption kPageUpCaption{QStringLiteral("PgUp"),
                                   QStringLiteral("GoTo Previous Page [Ctrl+PgUp]"),
                                   QStringLiteral("go-up")};
const PagingCaption kPageDownCaption{QStringLiteral("PgDn"),
                                     QStringLiteral("GoTo Next Page [Ctrl+PgDn]"),
                                     QStringLiteral("go-down")};
const PagingCaption kLastCaption{QStringLiteral("Last"),
                                 QStringLiteral("GoTo Last Page [Ctrl+End]"),
                                 QStringLiteral("go-last")};
// Room around a paging caption inside the button's frame; enough for the four captions
// to stay in a list pane of its least width.
constexpr int kPagingCaptionPadding = 10;

bool isNumberType(FieldType type) { return type == FieldType::Numeric; }

QList<ListField> listFields(const store::FieldList &columns, const QStringList &labels)
{
    QList<ListField> fields;
    for (size_t column = kFirstFieldColumn; column < columns.size(); ++column) {
        const int field = int(column) - kFirstFieldColumn;
        fields << ListField{labels.value(field, columns[column].name), columns[column].type};
    }
    return fields;
}

int fullWidth(const QPushButton *button, const QString &caption)
{
    return button->fontMetrics().horizontalAdvance(caption) + kPagingCaptionPadding;
}

} // namespace

RecordListPane::RecordListPane(Prompt &prompt, QWidget *parent)
    : QWidget(parent), prompt_(prompt), headerModel_({}), header_(new TBrenlowHeader(headerModel_, prompt, this)),
      letterBar_(new LetterTabBar(this)), rowFont_(font())
{
    createSortBar();
    createPagingRow();
    connect(header_, &TBrenlowHeader::changed, this, [this] {
        setColumnsOfRows();
        refresh();
    });
    connect(header_, &TBrenlowHeader::helpRequested, this, &RecordListPane::helpRequested);
    connect(letterBar_, &LetterTabBar::letterChosen, this, &RecordListPane::setLetter);
}

RecordListPane::~RecordListPane() = default;

void RecordListPane::createSortBar()
{
    const std::array<std::function<std::unique_ptr<QMenu>()>, 3> menus = {
        [this] { return createPrimarySortMenu(); }, [this] { return createSecondarySortMenu(); },
        [this] { return createFilterMenu(); }};
    for (int part = 0; part < 3; ++part) {
        auto *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("SortButton%1").arg(part + 1));
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [button, menu = menus[size_t(part)]](QPoint at) {
                    menu()->exec(button->mapToGlobal(at));
                });
        sortButtons_ << button;
    }
    connect(sortButtons_[0], &QPushButton::clicked, this, &RecordListPane::sortDialogRequested);
    connect(sortButtons_[1], &QPushButton::clicked, this, &RecordListPane::sortDialogRequested);
    connect(sortButtons_[2], &QPushButton::clicked, this, &RecordListPane::filterDialogRequested);
    sortButtons_[2]->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    updateSortCaptions();
}

void RecordListPane::createPagingRow()
{
    const auto makeButton = [this](const PagingCaption &caption, void (RecordListPane::*page)()) {
        auto *button = new QPushButton(caption.caption, this);
        button->setToolTip(caption.hint);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, page);
        return button;
    };
    first_ = makeButton(kFirstCaption, &RecordListPane::firstPage);
    pageUp_ = makeButton(kPageUpCaption, &RecordListPane::previousPage);
    pageDown_ = makeButton(kPageDownCaption, &RecordListPane::nextPage);
    last_ = makeButton(kLastCaption, &RecordListPane::lastPage);
    sponsor_ = new QPushButton(QStringLiteral("Brenlow"), this);
    sponsor_->setToolTip(QStringLiteral("Click to visit Brenlow home page"));
    sponsor_->setFocusPolicy(Qt::NoFocus);
    connect(sponsor_, &QPushButton::clicked, this, &RecordListPane::sponsorClicked);
}

// ---------------------------------------------------------------------------
// Database and fields

void RecordListPane::setDatabase(database::DatabaseManager *database,
                                 const settings::ColourScheme *scheme)
{
    database_ = database;
    scheme_ = scheme;
    letterBar_->setColourScheme(scheme);
    setFieldLabels(labels_);
    applyColours();
    recountLetters();
}

void RecordListPane::setFieldLabels(const QStringList &labels)
{
    labels_ = labels;
    if (database_ && database_->recordTable().isOpen())
        headerModel_.setFields(listFields(database_->recordTable().fields(), labels_));
    header_->showSections();
    setColumnsOfRows();
    updateSortCaptions();
}

void RecordListPane::setShownRecord(quint32 recordNumber) { shownRecord_ = recordNumber; }

void RecordListPane::setRowFont(const QFont &font)
{
    if (font == rowFont_)
        return;
    rowFont_ = font;
    // Rows take their height from the font, so they are made again.
    matchRowCount(0);
    layoutPane();
}

void RecordListPane::applyColours()
{
    const settings::ColourScheme scheme = scheme_ ? *scheme_ : settings::ColourScheme();
    for (TFormatedButton *row : rows_)
        row->applyColours(scheme);
    letterBar_->setColourScheme(scheme_);
}

QString RecordListPane::fieldLabel(int column) const
{
    const int field = column - kFirstFieldColumn;
    return field >= 0 && field < headerModel_.fields().size() ? headerModel_.fields()[field].label
                                                              : QString();
}

bool RecordListPane::isTextColumn(int column) const
{
    const int field = column - kFirstFieldColumn;
    return field >= 0 && field < headerModel_.fields().size() &&
           headerModel_.fields()[field].type == FieldType::Character;
}

bool RecordListPane::canBeSortColumn(int column) const
{
    const int field = column - kFirstFieldColumn;
    if (field < 0 || field >= headerModel_.fields().size())
        return false;
    const FieldType type = headerModel_.fields()[field].type;
    return type != FieldType::Memo && type != FieldType::Binary;
}

// ---------------------------------------------------------------------------
// Layout

void RecordListPane::resizeEvent(QResizeEvent *) { layoutPane(); }

void RecordListPane::layoutPane()
{
    const int sortBarWidth = width() - kSortBarInset;
    const int sortBarHeight = sortButtons_[0]->sizeHint().height();
    const int third = sortBarWidth / 3;
    for (int part = 0; part < 3; ++part) {
        const int partWidth = part < 2 ? third : sortBarWidth - 2 * third;
        sortButtons_[part]->setGeometry(kSortBarInset / 2 + part * third, kSortBarTop, partWidth,
                                        sortBarHeight);
    }
    fitSortCaptions();
    const QRect headerRect(kSortBarInset / 2, kSortBarTop + sortBarHeight, sortBarWidth,
                           header_->sizeHint().height());
    header_->setGeometry(headerRect);

    const QFontMetrics rowMetrics(rowFont_);
    const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    ListPaneInput input;
    input.paneSize = size();
    input.header = headerRect;
    input.rowHeight =
        recordRowHeight(border, rowMetrics.height(), QFontMetrics(QApplication::font()).height());
    input.pagingButtonWidths = {
        fullWidth(first_, kFirstCaption.caption), fullWidth(pageUp_, kPageUpCaption.caption),
        fullWidth(pageDown_, kPageDownCaption.caption), fullWidth(last_, kLastCaption.caption)};
    input.pagingButtonHeight = first_->sizeHint().height();
    input.sponsorButtonWidth = fullWidth(sponsor_, sponsor_->text());
    const ListPaneLayout layout = layoutListPane(input);

    matchRowCount(layout.rowsPerPage);
    for (int i = 0; i < rows_.size(); ++i)
        rows_[i]->setGeometry(layout.rows[i]);
    const PagingRowLayout &paging = layout.pagingRow;
    const std::array<std::pair<QPushButton *, const PagingCaption *>, 4> buttons = {
        {{first_, &kFirstCaption},
         {pageUp_, &kPageUpCaption},
         {pageDown_, &kPageDownCaption},
         {last_, &kLastCaption}}};
    for (const auto &[button, caption] : buttons) {
        button->setText(paging.compact ? QString() : caption->caption);
        button->setIcon(paging.compact ? QIcon::fromTheme(caption->icon) : QIcon());
    }
    first_->setGeometry(paging.first);
    pageUp_->setGeometry(paging.pageUp);
    sponsor_->setGeometry(paging.sponsor);
    sponsor_->setVisible(!paging.sponsor.isNull());
    pageDown_->setGeometry(paging.pageDown);
    last_->setGeometry(paging.last);
    setColumnsOfRows();
    refresh();
}

void RecordListPane::matchRowCount(int count)
{
    while (rows_.size() > count)
        delete rows_.takeLast();
    const settings::ColourScheme scheme = scheme_ ? *scheme_ : settings::ColourScheme();
    while (rows_.size() < count) {
        auto *row = new TFormatedButton(this);
        const int index = int(rows_.size());
        row->setFont(rowFont_);
        row->applyColours(scheme);
        row->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row, &QAbstractButton::clicked, this,
                [this, index] { emit rowChosen(pageOffset_ + index); });
        connect(row, &QWidget::customContextMenuRequested, this,
                [this, row, index](QPoint at) { showRowMenu(index, row->mapToGlobal(at)); });
        row->show();
        rows_ << row;
    }
}

void RecordListPane::setColumnsOfRows()
{
    const QList<int> shares = headerModel_.shares(header_->width());
    for (TFormatedButton *row : rows_)
        row->setColumns(shares);
}

// ---------------------------------------------------------------------------
// Filling the rows

void RecordListPane::refresh()
{
    for (TFormatedButton *row : rows_)
        row->clearTexts();
    TFormatedButton *selected = nullptr;
    int count = 0;
    bool whole = true;
    if (database_ && database_->recordTable().isOpen()) {
        store::Table &table = database_->recordTable();
        int filled = 0;
        whole = readStore(prompt_, [&] {
            database_->gotoPosition(pageOffset_);
            for (TFormatedButton *row : rows_) {
                if (table.eof())
                    break;
                row->setTexts(rowTexts(table));
                ++filled;
                if (shownRecord_ != 0 && table.recNo() == shownRecord_)
                    selected = row;
                table.next();
            }
            count = int(database_->recordCount());
        });
        // The rows read before the failure stay; paging goes no further than they do,
        // and the letter's count keeps its last good value.
        if (!whole)
            count = pageOffset_ + filled;
    }
    enablePagingButtons(count);
    if (whole && letterTabsInUse())
        letterBar_->setCount(currentLetter_, quint32(count));
    selectRow(selected);
}

QList<RowColumnText> RecordListPane::rowTexts(const store::Table &table) const
{
    QList<RowColumnText> texts;
    for (const HeaderSection &section : headerModel_.sections()) {
        RowColumnText column = columnText(table, section.field + kFirstFieldColumn);
        if (!texts.isEmpty())
            column.text.prepend(u' ');
        texts << column;
    }
    return texts;
}

RowColumnText RecordListPane::columnText(const store::Table &table, int column) const
{
    const FieldType type = table.fields()[size_t(column)].type;
    if (type == FieldType::Date) {
        const QDate date = table.date(column);
        const auto &formatDate = database_->hooks.formatDate;
        return {formatDate ? formatDate(column, date)
                           : QLocale().toString(date, QLocale::ShortFormat),
                false};
    }
    if (isNumberType(type)) {
        const int decimals = database_->decimals(column) > 0 ? 2 : 0;
        return {QLocale().toString(table.number(column), 'f', decimals) + u' ', true};
    }
    return {table.text(column), false};
}

void RecordListPane::enablePagingButtons(int count)
{
    const ListPage page{pageOffset_, rowsPerPage(), count};
    const PagingButtonStates states =
        pagingButtonStates(page, LetterPaging{letterTabsInUse(), currentLetter_});
    first_->setEnabled(states.first);
    pageUp_->setEnabled(states.pageUp);
    pageDown_->setEnabled(states.pageDown);
    last_->setEnabled(states.last);
}

void RecordListPane::selectRow(TFormatedButton *selected)
{
    for (TFormatedButton *row : rows_)
        if (row != selected && row->isSelected())
            row->setSelected(false);
    if (selected)
        selected->setSelected(true);
    if (TFormatedButton *focused = selected ? selected : rows_.value(0))
        focused->setFocus();
}

// ---------------------------------------------------------------------------
// Letters and paging

bool RecordListPane::letterTabsInUse() const { return database_ && database_->letterTabsUsable(); }

void RecordListPane::enterLetter(QChar letter)
{
    letterBar_->selectLetter(letter);
    currentLetter_ = letter;
    pageOffset_ = 0;
    bool byLetter = false;
    if (database_ && !readStore(prompt_, [&] { byLetter = database_->viewRange(letter); }))
        qCInfo(lcRecords) << "the list shows no range for letter" << letter;
    if (!byLetter)
        letterBar_->setTabsEnabled(false);
}

void RecordListPane::setLetter(QChar letter)
{
    const StoreReadAction action;
    enterLetter(letter);
    refresh();
}

void RecordListPane::recountLetters()
{
    const bool inUse = letterTabsInUse();
    letterBar_->setTabsEnabled(inUse);
    if (inUse) {
        // Letters counted before a failure keep their counts; the rest show none.
        if (!readStore(prompt_, [this] { database_->countLetters(); }))
            qCInfo(lcRecords) << "the letter counts are incomplete";
        QList<quint32> counts;
        for (int i = 0; i < kLetterCount; ++i)
            counts << database_->letterCount(QChar(u'A' + i));
        letterBar_->setCounts(counts);
    }
    updateSortCaptions();
    setLetter(u'A');
}

quint32 RecordListPane::letterCount(QChar letter) const
{
    const TColorButton *tab = letterBar_->tab(letter);
    return tab ? tab->count() : 0;
}

void RecordListPane::focusSelectedRow()
{
    for (TFormatedButton *row : rows_)
        if (row->isSelected()) {
            row->setFocus();
            return;
        }
    if (!rows_.isEmpty())
        rows_.first()->setFocus();
}

void RecordListPane::moveLetterCount(QChar oldLetter, QChar newLetter)
{
    if (TColorButton *tab = letterBar_->tab(oldLetter))
        letterBar_->setCount(oldLetter, tab->count() > 0 ? tab->count() - 1 : 0);
    if (TColorButton *tab = letterBar_->tab(newLetter))
        letterBar_->setCount(newLetter, tab->count() + 1);
}

void RecordListPane::firstPage() { turnPage(PagingCommand::First); }
void RecordListPane::previousPage() { turnPage(PagingCommand::PageUp); }
void RecordListPane::nextPage() { turnPage(PagingCommand::PageDown); }
void RecordListPane::lastPage() { turnPage(PagingCommand::Last); }

int RecordListPane::rangeCount()
{
    int count = 0;
    if (database_ && !readStore(prompt_, [&] { count = int(database_->recordCount()); }))
        qCInfo(lcRecords) << "the list's range could not be counted";
    return count;
}

void RecordListPane::turnPage(PagingCommand command)
{
    const int count = rangeCount();
    const PageTurn turn = mainwin::turnPage(command, {pageOffset_, rowsPerPage(), count},
                                            {letterTabsInUse(), currentLetter_});
    switch (turn.action) {
    case PageTurn::Action::None:
        return;
    case PageTurn::Action::ShowOffset:
        pageOffset_ = turn.offset;
        break;
    case PageTurn::Action::PreviousLetterLastPage:
        enterLetter(QChar(currentLetter_.unicode() - 1));
        pageOffset_ = lastPageOffset(rowsPerPage(), rangeCount());
        break;
    case PageTurn::Action::NextLetter:
        enterLetter(QChar(currentLetter_.unicode() + 1));
        break;
    }
    refresh();
}

// ---------------------------------------------------------------------------
// Sort bar

void RecordListPane::updateSortCaptions()
{
    const SortDescriptor sort = database_ ? database_->index().descriptor : SortDescriptor{};
    const bool hasPrimary = sort.primary >= kFirstFieldColumn;
    const bool hasSecondary = hasPrimary && sort.hasSecondary();
    // Entry order and "NONE" have no direction to show, and their captions need the room.
    const auto arrow = [this](bool sorted, bool descending) {
        if (!sorted)
            return QIcon();
        return style()->standardIcon(descending ? QStyle::SP_ArrowDown : QStyle::SP_ArrowUp);
    };
    sortButtons_[0]->setIcon(arrow(hasPrimary, sort.primaryDescending));
    sortButtons_[1]->setIcon(arrow(hasSecondary, sort.secondaryDescending));
    const int filter = database_ ? int(database_->filterState()) : 0;
    sortCaptions_ = {hasPrimary ? fieldLabel(sort.primary) : kEntryOrder,
                     hasSecondary ? fieldLabel(sort.secondary) : kNoSecondary,
                     kFilterStates.value(filter, kFilterStates[0])};
    fitSortCaptions();
}

// A caption wider than its third of the sort bar is elided rather than cut off in the
// middle of a letter; the whole caption is then the button's tooltip.
void RecordListPane::fitSortCaptions()
{
    const int frame = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin)
                           + style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    for (int part = 0; part < int(sortCaptions_.size()); ++part) {
        QPushButton *button = sortButtons_[part];
        const QString &caption = sortCaptions_[part];
        const int iconRoom =
            button->icon().isNull() ? 0 : button->iconSize().width() + kSortIconGap;
        const int room = std::max(0, button->width() - frame - iconRoom);
        const QString shown = button->fontMetrics().elidedText(caption, Qt::ElideRight, room);
        button->setText(shown);
        button->setToolTip(shown == caption ? QString() : caption);
    }
}

void RecordListPane::addHelpItem(QMenu &menu, int context)
{
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Help"), this, [this, context] { emit helpRequested(context); });
}

// One item for "none" and one per field; memo and picture fields, and for the secondary
// field the primary one, cannot be chosen.
void RecordListPane::addFieldChoices(QMenu &menu, int current, const QString &none, bool primary)
{
    const SortDescriptor sort = database_ ? database_->index().descriptor : SortDescriptor{};
    const auto choose = [this, primary](int column) {
        primary ? choosePrimary(column) : chooseSecondary(column);
    };
    QAction *noneItem = menu.addAction(none, this, [choose] { choose(0); });
    noneItem->setCheckable(true);
    noneItem->setChecked(current < kFirstFieldColumn);
    for (int field = 0; field < headerModel_.fields().size(); ++field) {
        const int column = field + kFirstFieldColumn;
        QAction *item = menu.addAction(headerModel_.fields()[field].label, this,
                                       [choose, column] { choose(column); });
        item->setCheckable(true);
        item->setChecked(column == current);
        item->setEnabled(canBeSortColumn(column) && (primary || column != sort.primary));
    }
}

std::unique_ptr<QMenu> RecordListPane::createPrimarySortMenu()
{
    const SortDescriptor sort = database_ ? database_->index().descriptor : SortDescriptor{};
    auto menu = std::make_unique<QMenu>(this);
    addFieldChoices(*menu->addMenu(QStringLiteral("&Primary Sort Field")), sort.primary,
                    kEntryOrder, true);
    QMenu *direction = menu->addMenu(QStringLiteral("&Sort Direction"));
    for (const bool descending : {false, true}) {
        QAction *item = direction->addAction(
            descending ? QStringLiteral("Descending") : QStringLiteral("Ascending"), this,
            [this, sort, descending] {
                if (descending == sort.primaryDescending)
                    return;
                SortDescriptor changed = sort;
                changed.primaryDescending = descending;
                if (isTextColumn(changed.primary) && isTextColumn(changed.secondary))
                    changed.secondaryDescending = descending;
                emit sortRequested(changed);
            });
        item->setCheckable(true);
        item->setChecked(descending == sort.primaryDescending);
    }
    addHelpItem(*menu, help::SortBar);
    return menu;
}

std::unique_ptr<QMenu> RecordListPane::createSecondarySortMenu()
{
    const SortDescriptor sort = database_ ? database_->index().descriptor : SortDescriptor{};
    const bool hasPrimary = sort.primary >= kFirstFieldColumn;
    const bool hasSecondary = hasPrimary && sort.hasSecondary();
    auto menu = std::make_unique<QMenu>(this);
    QMenu *fields = menu->addMenu(QStringLiteral("&Secondary Sort Field"));
    addFieldChoices(*fields, hasSecondary ? sort.secondary : 0, kNoSecondary, false);
    fields->setEnabled(hasPrimary);
    QMenu *direction = menu->addMenu(QStringLiteral("Sort &Direction"));
    direction->setEnabled(hasSecondary);
    // Two text fields always share the primary direction.
    const bool directionLocked = isTextColumn(sort.primary) && isTextColumn(sort.secondary);
    for (const bool descending : {false, true}) {
        QAction *item = direction->addAction(descending ? QStringLiteral("Descending")
                                                        : QStringLiteral("Ascending"),
                                             this, [this, sort, descending] {
                                                 if (descending == sort.secondaryDescending)
                                                     return;
                                                 SortDescriptor changed = sort;
                                                 changed.secondaryDescending = descending;
                                                 emit sortRequested(changed);
                                             });
        item->setCheckable(true);
        item->setChecked(descending == sort.secondaryDescending);
        item->setEnabled(!directionLocked || item->isChecked());
    }
    addHelpItem(*menu, help::SortBar);
    return menu;
}

void RecordListPane::choosePrimary(int column)
{
    const SortDescriptor sort = database_ ? database_->index().descriptor : SortDescriptor{};
    if (column == sort.primary || (column < kFirstFieldColumn && sort.primary < kFirstFieldColumn))
        return;
    SortDescriptor changed = sort;
    if (column < kFirstFieldColumn) {
        changed.primary = 0;
        changed.secondary = 0;
    } else {
        changed.primary = column;
        if (changed.secondary == column)
            changed.secondary = 0;
        if (isTextColumn(changed.primary) && isTextColumn(changed.secondary))
            changed.secondaryDescending = changed.primaryDescending;
    }
    emit sortRequested(changed);
}

void RecordListPane::chooseSecondary(int column)
{
    const SortDescriptor sort = database_ ? database_->index().descriptor : SortDescriptor{};
    const int current = sort.hasSecondary() ? sort.secondary : 0;
    if (column == current || (column < kFirstFieldColumn && current < kFirstFieldColumn))
        return;
    SortDescriptor changed = sort;
    changed.secondary = column < kFirstFieldColumn ? 0 : column;
    if (isTextColumn(changed.primary) && isTextColumn(changed.secondary))
        changed.secondaryDescending = changed.primaryDescending;
    emit sortRequested(changed);
}

std::unique_ptr<QMenu> RecordListPane::createFilterMenu()
{
    const int current = database_ ? int(database_->filterState()) : 0;
    auto menu = std::make_unique<QMenu>(this);
    for (int state = 0; state < kFilterStates.size(); ++state) {
        QAction *item = menu->addAction(u'&' + kFilterStates[state], this,
                                        [this, state] { emit filterStateRequested(database::FilterState(state)); });
        item->setEnabled(state != current);
    }
    menu->addSeparator();
    // Filter templates arrive with the filters; until then there are none to offer.
    menu->addMenu(QStringLiteral("&Load From Template"))->setEnabled(false);
    menu->addAction(QStringLiteral("&Save As Template"))->setEnabled(false);
    menu->addMenu(QStringLiteral("&Delete Template"))->setEnabled(false);
    addHelpItem(*menu, help::SortBar);
    return menu;
}

// ---------------------------------------------------------------------------
// Row popup

std::unique_ptr<QMenu> RecordListPane::createRowMenu(int row)
{
    auto menu = std::make_unique<QMenu>(this);
    // The web features are off in this product: their items stay hidden.
    QAction *goToPage = menu->addAction(QStringLiteral("&Go To Web Page"));
    QMenu *capture = menu->addMenu(QStringLiteral("Capture &Web Page"));
    capture->addAction(QStringLiteral("Into New Record"));
    capture->addAction(QStringLiteral("Into Current Record"));
    const QList<QAction *> webItems = {goToPage, capture->menuAction(), menu->addSeparator()};
    for (QAction *item : webItems)
        item->setVisible(false);

    QMenu *quickView = menu->addMenu(QStringLiteral("&Quick View"));
    quickView->setEnabled(false);
    const bool showsRecord = row >= 0 && row < rows_.size() && !rows_[row]->texts().isEmpty();
    bool onRecord = false;
    QStringList summary;
    const auto readSummary = [&] {
        onRecord = database_->gotoPosition(pageOffset_ + row);
        if (onRecord)
            summary = recordSummaryLines(database_->recordTable(), prompt_, database_->hooks.formatDate);
    };
    if (showsRecord && database_ && readStore(prompt_, readSummary) && onRecord) {
        for (const QString &line : summary)
            quickView->addAction(line);
        quickView->setEnabled(true);
    }
    // The copy buffer, deleting and printing come with their own work; their items wait.
    menu->addMenu(QStringLiteral("&View Copy Buffer"))->setEnabled(false);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Copy Record"))->setEnabled(false);
    menu->addAction(QStringLiteral("&Paste Record"))->setEnabled(false);
    menu->addAction(QStringLiteral("&Delete Record"), this, [this, row] {
            emit deleteRowRequested(pageOffset_ + row);
        })->setEnabled(!readOnly_);
    menu->addAction(QStringLiteral("P&rint Record"))->setEnabled(false);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Font..."), this, &RecordListPane::chooseRowFont);
    menu->addAction(QStringLiteral("C&olor..."))->setEnabled(false);
    addHelpItem(*menu, help::RecordList);
    return menu;
}

void RecordListPane::showRowMenu(int row, QPoint globalPos) { createRowMenu(row)->exec(globalPos); }

void RecordListPane::chooseRowFont()
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, rowFont_, this);
    if (!accepted)
        return;
    setRowFont(font);
    emit rowFontChanged(font);
}

} // namespace numora::mainwin
