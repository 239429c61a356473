#include "mainwin/record_summary.h"

#include "core/help_topics.h"
#include "core/prompt.h"
#include "database/record_schema.h"
#include "store/store_error.h"
#include "store/table.h"

#include <QRegularExpression>

namespace numora::mainwin {

namespace {

constexpr int kSummaryLineLength = 50;
constexpr int kCountryColumn = 3; // named in the damaged-memo message

QString memoFirstLine(const store::Table &table, int column, Prompt &prompt)
{
    try {
        static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
        return table.text(column).section(lineBreak, 0, 0);
    } catch (const store::EngineError &) {
        // The help page tells how to save the rest of the record and mend the memo file.
        prompt.ask(QStringLiteral("Corrupt Memo Field!!! You should delete record: \r") + table.text(kCountryColumn),
                   MessageKind::Error, Button::Ok | Button::Help, help::QuickViewDamagedMemo);
        return {};
    }
}

} // namespace

QStringList recordSummaryLines(const store::Table &table, Prompt &prompt, const DateText &dateText)
{
    QStringList lines;
    const store::FieldList &fields = table.fields();
    for (int column = database::record_column::FirstField; column < int(fields.size()); ++column) {
        QString line;
        switch (fields[size_t(column)].type) {
        case store::FieldType::Memo:
            line = memoFirstLine(table, column, prompt);
            break;
        case store::FieldType::Date:
            line = dateText ? dateText(column, table.date(column))
                            : table.date(column).toString(QStringLiteral("MM/dd/yyyy"));
            break;
        case store::FieldType::Binary:
            line = QStringLiteral("<PICTURE>")
                   + (table.isNull(column) ? QStringLiteral(" - Empty") : QStringLiteral(" - Not Empty"));
            break;
        default:
            line = table.text(column);
        }
        lines << line.left(kSummaryLineLength);
    }
    return lines;
}

} // namespace numora::mainwin
