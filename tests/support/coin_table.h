#pragma once
// A small table with one column of every kind the catalogue uses, for store tests.

#include "store/table.h"

#include <QString>

namespace numora::test {

namespace column {
constexpr int Number = 0;
constexpr int Mark = 1;
constexpr int Descr = 2;
constexpr int Cost = 3;
constexpr int Weight = 4;
constexpr int Bought = 5;
constexpr int Notes = 6;
constexpr int Picture = 7;
} // namespace column

store::FieldList coinFields();

// Creates coins.dbf (and its memo file) in `folder`; returns the data file's path.
QString createCoinTable(const QString &folder, const QString &fileName = QStringLiteral("coins.dbf"));

struct Coin {
    Coin(QString description, double price = 0, QString boughtOn = {}, QString noteText = {})
        : descr(std::move(description)), cost(price), bought(std::move(boughtOn)),
          notes(std::move(noteText))
    {
    }
    QString descr;
    double cost;
    QString bought; // yyyy-MM-dd or empty
    QString notes;
};

// Appends and posts one record; the number column gets `number`.
void appendCoin(store::Table &table, int number, const Coin &coin);

// Opens `table` on folder/file with the given tag (empty: entry order).
void openTable(store::Table &table, const QString &folder, const QString &tag = {},
               bool exclusive = false, const QString &fileName = QStringLiteral("coins.dbf"));

// The descriptions in the table's current order and range.
QStringList descriptions(store::Table &table);

} // namespace numora::test
