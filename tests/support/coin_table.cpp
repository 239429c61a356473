#include "support/coin_table.h"

#include <QDir>

namespace numora::test {

using store::FieldDescriptor;
using store::FieldType;

store::FieldList coinFields()
{
    return {
        FieldDescriptor{"NUMBER", FieldType::Numeric, 9, 0},
        FieldDescriptor{"MARK", FieldType::Character, 1, 0},
        FieldDescriptor{"DESCR", FieldType::Character, 40, 0},
        FieldDescriptor{"COST", FieldType::Numeric, 19, 2},
        FieldDescriptor{"WEIGHT", FieldType::Numeric, 16, 4},
        FieldDescriptor{"BOUGHT", FieldType::Date, 8, 0},
        FieldDescriptor{"NOTES", FieldType::Memo, 10, 0},
        FieldDescriptor{"PICTURE", FieldType::Binary, 10, 0},
    };
}

QString createCoinTable(const QString &folder, const QString &fileName)
{
    const QString path = QDir(folder).filePath(fileName);
    store::Table::createTable(path, coinFields());
    return path;
}

void appendCoin(store::Table &table, int number, const Coin &coin)
{
    table.append();
    table.setInteger(column::Number, number);
    table.setText(column::Mark, QStringLiteral("0"));
    table.setText(column::Descr, coin.descr);
    table.setNumber(column::Cost, coin.cost);
    table.setText(column::Bought, coin.bought);
    if (!coin.notes.isEmpty())
        table.setText(column::Notes, coin.notes);
    table.post();
}

void openTable(store::Table &table, const QString &folder, const QString &tag, bool exclusive, const QString &fileName)
{
    table.open({.folder = folder, .fileName = fileName, .tagName = tag, .exclusive = exclusive});
}

QStringList descriptions(store::Table &table)
{
    QStringList result;
    for (table.first(); !table.eof(); table.next())
        result << table.text(column::Descr);
    return result;
}

} // namespace numora::test
