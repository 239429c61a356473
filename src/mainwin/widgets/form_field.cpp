#include "mainwin/widgets/form_field.h"

#include "editors/widgets/click_edit.h"
#include "editors/widgets/currency_edit.h"
#include "editors/widgets/date_edit.h"
#include "editors/widgets/lookup.h"
#include "editors/widgets/multi_img_control.h"
#include "editors/utf8_width_validator.h"
#include "mainwin/number_text.h"
#include "database/record_schema.h"
#include "store/table.h"

#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>

namespace numora::mainwin {

namespace {

const QString kTextHint = QStringLiteral("Enter Text Here");
// The longest text a character column is given, whatever its width.
constexpr int kMaxFieldText = 254;

template <typename Control>
Control *as(QWidget *control)
{
    return static_cast<Control *>(control);
}

} // namespace

int FormField::column() const { return database::record_column::fieldColumn(number); }

QWidget *FormField::createControl(const FieldLayout &layout, QWidget *panel)
{
    QWidget *control = nullptr;
    switch (layout.kind) {
    case ControlKind::Text: {
        auto *edit = new QLineEdit(panel);
        edit->setToolTip(kTextHint);
        control = edit;
        break;
    }
    case ControlKind::Lookup: {
        auto *lookup = new editors::TLookup(panel);
        lookup->setSource(layout.listSource);
        control = lookup;
        break;
    }
    case ControlKind::Currency: {
        auto *edit = new editors::TCurrencyEdit(panel);
        edit->setDisplayFormat(layout.numberFormat);
        control = edit;
        break;
    }
    case ControlKind::Date: {
        auto *edit = new editors::TDateEdit(panel);
        edit->setDateFormat(layout.dateFormat);
        control = edit;
        break;
    }
    case ControlKind::Attachment:
        control = new editors::TClickEdit(panel);
        break;
    case ControlKind::Memo: {
        auto *memo = new QPlainTextEdit(panel);
        memo->setToolTip(kTextHint);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setTabChangesFocus(true);
        control = memo;
        break;
    }
    case ControlKind::Picture: {
        auto *picture = new editors::TDbMultiImgControl(panel);
        picture->setColumn(database::record_column::fieldColumn(layout.number));
        picture->setSpeedBarVisible(layout.pictureToolBar);
        control = picture;
        break;
    }
    }
    control->setFocusPolicy(layout.takesTabFocus ? Qt::StrongFocus : Qt::ClickFocus);
    control->setGeometry(layout.box);
    control->setProperty("Tag", layout.number);
    control->setObjectName(QStringLiteral("field%1").arg(layout.number));
    return control;
}

void FormField::loadValue(const store::Table &table) const
{
    if (kind == ControlKind::Picture) {
        as<editors::TDbMultiImgControl>(control)->readFromRecord(table);
        return;
    }
    if (!table.isOpen() || table.eof() || column() >= int(table.fields().size())) {
        clearValue();
        return;
    }
    const store::FieldType type = table.fields()[size_t(column())].type;
    switch (kind) {
    case ControlKind::Memo:
        as<QPlainTextEdit>(control)->setPlainText(table.text(column()));
        return;
    case ControlKind::Date:
        if (type == store::FieldType::Date)
            as<editors::TDateEdit>(control)->setDate(table.date(column()));
        else
            as<editors::TDateEdit>(control)->setDateText(table.text(column()));
        return;
    case ControlKind::Currency: {
        auto *edit = as<editors::TCurrencyEdit>(control);
        if (type == store::FieldType::Numeric) {
            edit->setValue(table.number(column()));
        } else {
            edit->setText(table.text(column()));
            edit->refresh();
        }
        return;
    }
    case ControlKind::Lookup:
        as<editors::TLookup>(control)->setText(table.text(column()));
        return;
    case ControlKind::Text:
    case ControlKind::Attachment:
        as<QLineEdit>(control)->setText(table.text(column()));
        return;
    case ControlKind::Picture:
        break;
    }
}

void FormField::writeValue(store::Table &table, PictureWrite pictures, bool todayWhenEmpty) const
{
    if (column() >= int(table.fields().size()))
        return;
    const store::FieldType type = table.fields()[size_t(column())].type;
    if (kind == ControlKind::Picture) {
        auto *picture = as<editors::TDbMultiImgControl>(control);
        if (pictures == PictureWrite::Always)
            picture->copyIntoRecord(table);
        else
            picture->storeIntoRecord(table);
        return;
    }
    if (kind == ControlKind::Lookup)
        as<editors::TLookup>(control)->learnTypedValue();
    switch (type) {
    case store::FieldType::Memo:
        table.setText(column(), text());
        return;
    case store::FieldType::Numeric:
        if (kind == ControlKind::Currency)
            table.setNumber(column(), as<editors::TCurrencyEdit>(control)->value());
        else
            table.setNumber(column(), numberFromText(text(), QLocale().decimalPoint().front()));
        return;
    case store::FieldType::Date:
        if (kind == ControlKind::Date) {
            const QDate date = as<editors::TDateEdit>(control)->date();
            if (date.isValid())
                table.setDate(column(), date);
            else if (todayWhenEmpty)
                table.setDate(column(), QDate::currentDate());
            else
                table.clear(column());
            return;
        }
        break;
    default:
        break;
    }
    table.setText(column(), text().left(kMaxFieldText));
}

void FormField::limitToColumn(const store::FieldList &columns) const
{
    const bool typedText = kind == ControlKind::Text || kind == ControlKind::Lookup || kind == ControlKind::Attachment;
    if (!typedText || column() >= int(columns.size()) || columns[size_t(column())].type != store::FieldType::Character)
        return;
    delete control->findChild<editors::Utf8WidthValidator *>(); // another database's width
    auto *validator = new editors::Utf8WidthValidator(columns[size_t(column())].width, control);
    if (kind == ControlKind::Lookup)
        as<editors::TLookup>(control)->setValidator(validator);
    else
        as<QLineEdit>(control)->setValidator(validator);
}

void FormField::clearValue() const
{
    switch (kind) {
    case ControlKind::Date:
        as<editors::TDateEdit>(control)->setDate({});
        break;
    case ControlKind::Picture:
        as<editors::TDbMultiImgControl>(control)->clearPicture();
        break;
    case ControlKind::Currency:
        as<editors::TCurrencyEdit>(control)->clearValue();
        break;
    case ControlKind::Memo:
        as<QPlainTextEdit>(control)->clear();
        break;
    case ControlKind::Lookup:
        as<editors::TLookup>(control)->setText({});
        break;
    case ControlKind::Text:
    case ControlKind::Attachment:
        as<QLineEdit>(control)->clear();
        break;
    }
}

QString FormField::text() const
{
    switch (kind) {
    case ControlKind::Memo: return as<QPlainTextEdit>(control)->toPlainText();
    case ControlKind::Lookup: return as<editors::TLookup>(control)->text();
    case ControlKind::Picture: return {};
    default: return as<QLineEdit>(control)->text();
    }
}

bool FormField::isFilled() const
{
    if (text().isEmpty())
        return false;
    if (kind == ControlKind::Currency)
        return !as<editors::TCurrencyEdit>(control)->isEmpty();
    if (kind == ControlKind::Date)
        return as<editors::TDateEdit>(control)->date().isValid();
    return true;
}

bool FormField::hasRequiredValue() const
{
    if (kind == ControlKind::Date)
        return as<editors::TDateEdit>(control)->date().isValid();
    return !text().isEmpty();
}

void FormField::setEditable(bool editable) const
{
    switch (kind) {
    case ControlKind::Picture:
        as<editors::TDbMultiImgControl>(control)->setReadOnly(!editable);
        break;
    case ControlKind::Currency:
    case ControlKind::Date:
    case ControlKind::Attachment:
        as<editors::TMyBtnEdit>(control)->setFieldEnabled(editable);
        break;
    default:
        control->setEnabled(editable);
        break;
    }
}

bool FormField::takesTabFocus() const
{
    return control->isEnabled() && (control->focusPolicy() & Qt::TabFocus) != 0;
}

} // namespace numora::mainwin
