#pragma once
// The record form: the form pages ("Part 1" ...) of the main window with one label and
// one field control per record field, built from a product layout. It binds the controls
// to the record's fields by field number (the Tag of label and control), moves a record's
// values into the controls and back for the editing rules (RecordSession), and carries
// what the user does to the form itself: the field and label menus, Tab across pages,
// the stretch with the pane, and the page order kept in the settings folder.
//
// Field 24 (attachment) is a plain button edit showing the file name until the
// multimedia edit exists.

#include "mainwin/coin_layout.h"
#include "mainwin/widgets/form_field.h"
#include "mainwin/form_stretch.h"
#include "mainwin/record_session.h"
#include "settings/database_options.h"

#include <QFont>
#include <QList>
#include <QPointer>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QMenu;

namespace numora {
class Prompt;
}
namespace numora::editors {
class TDateEdit;
}
namespace numora::platform {
class ProgressWindow;
}
namespace numora::settings {
class ColourScheme;
class LabelTemplateList;
struct RunSettings;
}
namespace numora::database {
class DatabaseManager;
class LookupList;
}

namespace numora::mainwin {

// The groups of colours the "Set Colors" window edits from the form's menus:
// single-line fields (elements 15, 16), multi-line fields (17, 18), currency fields
// (21, 22, 23) and labels (19, 20).
enum class ColourGroup { SingleLineFields, MultiLineFields, CurrencyFields, Labels };

// What the form works with; everything must outlive it.
struct RecordFormContext {
    settings::RunSettings &settings; // field names, date formats, fonts, Auto-Fill, folders
    Prompt &prompt;
    platform::ProgressWindow &progress; // the Edit Lists window's "Update Lists"
    const settings::ColourScheme &colours;
    database::DatabaseManager &database; // the open database's folders and record table
    settings::LabelTemplateList &labelTemplates;
};

class RecordFormPages : public QTabWidget, public RecordForm {
    Q_OBJECT
public:
    explicit RecordFormPages(const RecordFormContext &context, const FormLayout &layout = coinLayout(),
                             QWidget *parent = nullptr);
    ~RecordFormPages() override;

    // RecordForm. Loading stops at damaged memo or picture data after saying so.
    bool loadFrom(const store::Table &table) override;
    [[nodiscard]] bool writeTo(store::Table &table) override;
    void clear() override;
    bool isEmpty() const override;
    bool requiredFieldsFilled() const override;
    [[nodiscard]] bool checkValues() override;
    void setEditable(bool editable) override;
    void focusFirstField() override;

    // Writes the controls into another row (copy buffer, record template): pictures are
    // written whatever was done to them.
    [[nodiscard]] bool copyTo(store::Table &table);

    // Field positions (0-based) that must be filled before a record is saved, and those
    // whose empty date is stored as today. Both are empty in this product.
    QList<int> requiredFields;
    QList<int> todayDefaultFields;

    // The binding: position p holds the field control of the p-th field number present.
    int fieldCount() const { return int(fields_.size()); }
    const FormField &field(int position) const { return fields_.at(size_t(position)); }
    QWidget *fieldControl(int position) const { return field(position).control; }
    // The label of field `position + 1`; null when the layout has no such field.
    QLabel *fieldLabel(int position) const;
    const QList<editors::TDateEdit *> &dateControls() const { return dateControls_; }
    // Field controls on the form page `page` in layout order.
    int fieldCountOnPage(int layoutPage) const;

    // Shows the page that holds the field and returns its control.
    QWidget *showField(int position);
    // Find's mark on the field it found: red background, yellow text, the focus, and for
    // a multi-line field `foundText` selected. The previous mark is taken off.
    void highlightFoundField(int position, const QString &foundText = {});

    // Binds the lookup fields to the open database's lists (again after another database
    // was opened).
    void attachDatabase();
    // The field-name list into the labels; the window then updates the list's captions.
    void applyLabels();
    void applyDateFormats();
    // A date of the record table's `column` as its date field shows it.
    QString dateText(int column, const QDate &date) const;
    // Multi-line fields take the multi-line font, the others the one-line font. When the
    // one-line font changed, the rows make room for it; the window then lays itself out
    // again (fontsChanged).
    void applyFieldFonts();
    // Normal colours, or the read-only ones while the form is not editable.
    void applyColours();
    void reloadLookupLists();
    // For a lookup field its list and its source file ("list1.dbf"); null and empty for
    // other fields.
    const database::LookupList *lookupData(int position) const;
    QString lookupSource(int position) const;

    // The page order file of the open database in the settings folder.
    void readPageOrder();
    [[nodiscard]] bool writePageOrder() const;

    // The popups as they open now; the caller runs them.
    std::unique_ptr<QMenu> createFieldMenu(int position);
    std::unique_ptr<QMenu> createLabelMenu(int fieldNumber);
    // The label menu's commands.
    void changeLabelText(int fieldNumber);
    void editLabelColours();
    void loadLabelsFromTemplate();
    void saveLabelsAsTemplate();

    // Replaceable for tests. Asks one line of text (caption, prompt, starting text);
    // none when cancelled.
    std::function<std::optional<QString>(const QString &, const QString &, const QString &)> askText;
    // The "Load Labels From Template" choice among the template names; none for Cancel.
    std::function<std::optional<QString>(const QStringList &)> chooseLabelTemplate;
    std::function<std::optional<QFont>(const QFont &)> chooseFont;
    // The "Set Colors" window for a group; true when OK changed the scheme. Without it
    // the colour items are disabled.
    std::function<bool(ColourGroup)> editColours;
    // The "Edit Lists" window preset to list `index`.
    std::function<void(int index)> editLists;

signals:
    void labelsChanged();
    void fontsChanged();
    void coloursChanged();
    // A date format changed: the record list shows dates anew.
    void listRefreshRequested();
    void helpRequested(int context);

protected:
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Page;

    void buildPages(const FormLayout &layout);
    void addField(const FieldLayout &layout, QWidget *panel);
    void wireField(const FormField &field);
    void wireDateField(editors::TDateEdit *edit);
    [[nodiscard]] bool writeFields(store::Table &table, PictureWrite pictures);
    void reportDamagedRecord(const store::Table &table);
    int positionOf(const QWidget *control) const;
    int focusedPosition() const;
    bool moveFocus(int from, bool next);
    void focusOnPage(QWidget *page, bool first);
    void editFont(bool multiLine);
    void runColourGroup(ColourGroup group);
    void changeDateFormat(editors::TDateEdit *edit, int format);
    void openEditLists(int position);
    void applyFieldColours(const FormField &field);
    void stretch(QSize pageSize);
    void reflow();
    // Where the controls and labels stand, page by page in field order, and placing them.
    std::vector<StretchPage> arrangement() const;
    void arrange(const std::vector<StretchPage> &pages);
    void popUpLabelMenu(QLabel *label);

    RecordFormContext context_;
    std::vector<FormField> fields_;
    std::vector<QLabel *> labels_;
    QList<editors::TDateEdit *> dateControls_;
    std::vector<std::unique_ptr<Page>> pages_;
    QSize designPageSize_;
    QSize stretchedFor_; // the page size the controls are placed for
    // The controls as the layout places them on a page of the design size (after a
    // larger one-line font, as reflowed for it).
    std::vector<StretchPage> design_;
    bool editable_ = true;
    QPointer<QWidget> highlighted_;
    std::optional<settings::FontSetting> lineFontApplied_;
};

} // namespace numora::mainwin
