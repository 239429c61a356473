#include "collection_generator.h"

#include "database/record_schema.h"
#include "database/table_templates.h"
#include "store/folder_lookup.h"
#include "store/store_error.h"
#include "store/table.h"
#include "store/text_codec.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>

namespace numora::tools {

using database::record_column::fieldColumn;

namespace {

// Positions of the record table's columns (see database::recordTableFields()).
namespace column {
constexpr int Number = database::record_column::Number;
constexpr int Mark = database::record_column::Mark;
constexpr int Descr = fieldColumn(1);
constexpr int Country = fieldColumn(2);
constexpr int ShortNote = fieldColumn(3);
constexpr int Catalog = fieldColumn(4);
constexpr int Condition = fieldColumn(5);
constexpr int Minted = fieldColumn(6);
constexpr int FaceValue = fieldColumn(7);
constexpr int Cost = fieldColumn(8);
constexpr int MarketValue = fieldColumn(9);
constexpr int Variety = fieldColumn(11);
constexpr int Category = fieldColumn(12);
constexpr int Type = fieldColumn(13);
constexpr int Mint = fieldColumn(14);
constexpr int Metal = fieldColumn(15);
constexpr int Weight = fieldColumn(16);
constexpr int Silver = fieldColumn(17);
constexpr int Gold = fieldColumn(18);
constexpr int Insured = fieldColumn(19);
constexpr int Bought = fieldColumn(20);
constexpr int Storage = fieldColumn(21);
constexpr int Seller = fieldColumn(22);
constexpr int Certificate = fieldColumn(23);
constexpr int Attachment = fieldColumn(24);
constexpr int Notes = fieldColumn(25);
constexpr int Picture = fieldColumn(26);
} // namespace column

// splitmix64: tiny, fast and the same on every platform and compiler, unlike the
// standard distributions, so a seed means the same collection everywhere.
class Random {
public:
    explicit Random(quint64 state) : state_(state) {}

    quint64 next()
    {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int bound) { return int(next() % quint64(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }
    double between(double low, double high)
    {
        return low + (high - low) * double(next() >> 11) * 0x1.0p-53;
    }

    template <typename Container> const auto &pick(const Container &items)
    {
        return items[size_t(below(int(std::size(items))))];
    }

private:
    quint64 state_;
};

struct CoinType {
    const char *country;
    const char *nativeName; // how the coin names its country, when collectors use it
    const char *mint;
    const char *denomination;
    const char *series;
    const char *metal;
    double weight; // grams
    double silverFineness;
    double goldFineness;
    int firstYear;
    int lastYear;
};

// Real coin types, roughly as a general collection holds them. Series names never start
// with a non-ASCII letter, so their lower-cased forms upper-case the same everywhere.
// clang-format off
constexpr CoinType kCoinTypes[] = {
    {"United States", "", "Philadelphia",
     "1 Cent", "Lincoln Wheat Cent", "Bronze", 3.11, 0, 0, 1909, 1958},
    {"United States", "", "Philadelphia",
     "5 Cents", "Buffalo Nickel", "Copper-nickel", 5.0, 0, 0, 1913, 1938},
    {"United States", "", "Denver",
     "10 Cents", "Mercury Dime", "Silver .900", 2.5, 0.9, 0, 1916, 1945},
    {"United States", "", "Philadelphia",
     "25 Cents", "Washington Quarter", "Silver .900", 6.25, 0.9, 0, 1932, 1964},
    {"United States", "", "San Francisco",
     "50 Cents", "Walking Liberty Half Dollar", "Silver .900", 12.5, 0.9, 0, 1916, 1947},
    {"United States", "", "New Orleans",
     "1 Dollar", "Morgan Dollar", "Silver .900", 26.73, 0.9, 0, 1878, 1921},
    {"United States", "", "Philadelphia",
     "20 Dollars", "Saint-Gaudens Double Eagle", "Gold .900", 33.436, 0, 0.9, 1907, 1933},
    {"Canada", "", "Royal Canadian Mint",
     "1 Cent", "Maple Twig Cent", "Bronze", 3.24, 0, 0, 1937, 1996},
    {"Canada", "", "Royal Canadian Mint",
     "1 Dollar", "Voyageur Dollar", "Silver .800", 23.33, 0.8, 0, 1935, 1966},
    {"Canada", "", "Royal Canadian Mint",
     "1 Dollar", "Loon Dollar", "Aureate bronze", 7.0, 0, 0, 1987, 2011},
    {"Canada", "", "Royal Canadian Mint",
     "50 Dollars", "Gold Maple Leaf", "Gold .9999", 31.11, 0, 0.9999, 1979, 2023},
    {"Mexico", "México", "Mexico City",
     "1 Peso", "Caballito Peso", "Silver .903", 27.07, 0.903, 0, 1910, 1914},
    {"Mexico", "México", "Mexico City",
     "50 Pesos", "Centenario", "Gold .900", 41.67, 0, 0.9, 1921, 1947},
    {"United Kingdom", "", "Royal Mint",
     "1 Penny", "Britannia Penny", "Bronze", 9.45, 0, 0, 1860, 1967},
    {"United Kingdom", "", "Royal Mint",
     "1/2 Crown", "George VI Half Crown", "Silver .500", 14.14, 0.5, 0, 1937, 1946},
    {"United Kingdom", "", "Royal Mint",
     "1 Sovereign", "Sovereign", "Gold .9167", 7.98, 0, 0.9167, 1957, 2022},
    {"United Kingdom", "", "Royal Mint",
     "1 Shilling", "Elizabeth II Shilling", "Copper-nickel", 5.65, 0, 0, 1953, 1966},
    {"Ireland", "Éire", "Royal Mint",
     "1 Florin", "Salmon Florin", "Silver .750", 11.31, 0.75, 0, 1928, 1943},
    {"Ireland", "Éire", "Royal Mint",
     "1 Penny", "Hen and Chicks Penny", "Bronze", 9.45, 0, 0, 1928, 1968},
    {"France", "", "Paris",
     "5 Francs", "Semeuse 5 Francs", "Silver .835", 12.0, 0.835, 0, 1960, 1969},
    {"France", "", "Paris",
     "10 Francs", "Hercules 10 Francs", "Silver .900", 25.0, 0.9, 0, 1965, 1973},
    {"France", "", "Paris",
     "20 Francs", "Marianne Rooster", "Gold .900", 6.45, 0, 0.9, 1899, 1914},
    {"France", "", "Pessac",
     "1 Franc", "Semeuse Franc", "Nickel", 6.0, 0, 0, 1960, 2001},
    {"Germany", "Deutschland", "Berlin",
     "1 Mark", "Oak Leaves Mark", "Copper-nickel", 5.5, 0, 0, 1950, 2001},
    {"Germany", "Deutschland", "Karlsruhe",
     "5 Mark", "Heiermann", "Silver .625", 11.2, 0.625, 0, 1951, 1974},
    {"Germany", "Deutschland", "München",
     "2 Reichsmark", "Hindenburg 2 Reichsmark", "Silver .625", 8.0, 0.625, 0, 1936, 1939},
    {"Austria", "Österreich", "Wien",
     "1 Schilling", "Edelweiss Schilling", "Aluminium", 2.0, 0, 0, 1959, 2001},
    {"Austria", "Österreich", "Wien",
     "1 Dukat", "Franz Joseph Ducat", "Gold .986", 3.49, 0, 0.986, 1915, 1915},
    {"Switzerland", "Helvetia", "Bern",
     "5 Francs", "Shepherd 5 Francs", "Silver .835", 15.0, 0.835, 0, 1931, 1969},
    {"Switzerland", "Helvetia", "Bern",
     "20 Francs", "Vreneli", "Gold .900", 6.45, 0, 0.9, 1897, 1949},
    {"Italy", "Italia", "Roma",
     "500 Lire", "Caravels 500 Lire", "Silver .835", 11.0, 0.835, 0, 1958, 1967},
    {"Italy", "Italia", "Roma",
     "100 Lire", "Minerva 100 Lire", "Acmonital", 8.0, 0, 0, 1955, 1989},
    {"Spain", "España", "Madrid",
     "100 Pesetas", "Franco 100 Pesetas", "Silver .800", 19.0, 0.8, 0, 1966, 1970},
    {"Spain", "España", "Madrid",
     "1 Peseta", "Juan Carlos Peseta", "Aluminium-bronze", 3.5, 0, 0, 1975, 1980},
    {"Portugal", "", "Lisboa",
     "10 Escudos", "Caravel 10 Escudos", "Silver .680", 12.5, 0.68, 0, 1954, 1955},
    {"Netherlands", "Nederland", "Utrecht",
     "1 Gulden", "Juliana Gulden", "Silver .720", 6.5, 0.72, 0, 1954, 1967},
    {"Netherlands", "Nederland", "Utrecht",
     "10 Gulden", "Wilhelmina Tientje", "Gold .900", 6.72, 0, 0.9, 1911, 1933},
    {"Belgium", "België", "Brussels",
     "50 Francs", "Baudouin 50 Francs", "Silver .835", 12.5, 0.835, 0, 1958, 1960},
    {"Sweden", "Sverige", "Eskilstuna",
     "1 Krona", "Gustaf VI Adolf Krona", "Silver .400", 7.0, 0.4, 0, 1952, 1968},
    {"Sweden", "Sverige", "Eskilstuna",
     "5 Öre", "Crowned 5 Öre", "Bronze", 4.0, 0, 0, 1952, 1971},
    {"Norway", "Norge", "Kongsberg",
     "1 Krone", "Olav V Krone", "Copper-nickel", 7.0, 0, 0, 1958, 1991},
    {"Denmark", "Danmark", "Copenhagen",
     "2 Kroner", "Frederik IX 2 Kroner", "Silver .800", 15.0, 0.8, 0, 1953, 1958},
    {"Finland", "Suomi", "Helsinki",
     "1 Markka", "Lion Markka", "Copper-nickel", 6.1, 0, 0, 1969, 1993},
    {"Iceland", "Ísland", "Royal Mint",
     "1 Króna", "Cod 1 Króna", "Nickel-brass", 4.5, 0, 0, 1981, 1987},
    {"Poland", "Polska", "Warszawa",
     "1 Złoty", "Eagle 1 Złoty", "Aluminium", 1.0, 0, 0, 1957, 1988},
    {"Poland", "Polska", "Warszawa",
     "10 Złotych", "Copernicus 10 Złotych", "Copper-nickel", 12.9, 0, 0, 1959, 1965},
    {"Czech Republic", "Česko", "Jablonec nad Nisou",
     "10 Korun", "Brno Cathedral 10 Korun", "Copper-plated steel", 7.62, 0, 0, 1993, 2020},
    {"Hungary", "Magyarország", "Budapest",
     "5 Forint", "Kossuth 5 Forint", "Silver .835", 20.0, 0.835, 0, 1946, 1947},
    {"Greece", "Ελλάδα", "Athens",
     "10 Drachmai", "Democritus 10 Drachmai", "Nickel-brass", 7.5, 0, 0, 1976, 2000},
    {"Türkiye", "", "Ankara",
     "1 Lira", "Atatürk 1 Lira", "Stainless steel", 8.0, 0, 0, 1959, 1980},
    {"Russia", "Россия", "Moscow",
     "1 Rouble", "Lenin Rouble", "Copper-nickel", 12.8, 0, 0, 1970, 1970},
    {"Russia", "Россия", "St. Petersburg",
     "1 Rouble", "Nicholas II Rouble", "Silver .900", 20.0, 0.9, 0, 1896, 1915},
    {"Israel", "", "Jerusalem",
     "1 Sheqel", "Lily Sheqel", "Nickel-bonded steel", 3.5, 0, 0, 1985, 2023},
    {"Egypt", "", "Cairo",
     "5 Piastres", "Sphinx 5 Piastres", "Copper-nickel", 4.5, 0, 0, 1967, 1972},
    {"South Africa", "", "Pretoria",
     "1 Krugerrand", "Krugerrand", "Gold .9167", 33.93, 0, 0.9167, 1967, 2022},
    {"South Africa", "", "Pretoria",
     "5 Shillings", "Springbok 5 Shillings", "Silver .800", 28.28, 0.8, 0, 1947, 1959},
    {"Côte d'Ivoire", "", "Pessac",
     "100 Francs", "BCEAO 100 Francs", "Nickel", 7.0, 0, 0, 1967, 2000},
    {"Curaçao", "", "Philadelphia",
     "1/4 Gulden", "Wilhelmina Kwartje", "Silver .640", 3.58, 0.64, 0, 1944, 1947},
    {"Réunion", "", "Paris",
     "1 Franc", "Marianne Franc", "Aluminium", 1.3, 0, 0, 1948, 1973},
    {"India", "", "Bombay",
     "1 Rupee", "George V Rupee", "Silver .917", 11.66, 0.917, 0, 1911, 1936},
    {"China", "", "Tientsin",
     "1 Yuan", "Yuan Shikai Dollar", "Silver .890", 26.4, 0.89, 0, 1914, 1921},
    {"Japan", "日本", "Osaka",
     "100 Yen", "Cherry Blossom 100 Yen", "Copper-nickel", 4.8, 0, 0, 1967, 1988},
    {"Australia", "", "Perth",
     "1 Penny", "Kangaroo Penny", "Bronze", 9.45, 0, 0, 1938, 1964},
    {"New Zealand", "", "Royal Mint",
     "1 Florin", "Kiwi Florin", "Silver .500", 11.31, 0.5, 0, 1933, 1946},
    {"Brazil", "Brasil", "Rio de Janeiro",
     "1 Cruzeiro", "Map Cruzeiro", "Aluminium-bronze", 4.0, 0, 0, 1942, 1956},
    {"Argentina", "", "Buenos Aires",
     "1 Peso", "San Martín Peso", "Nickel-clad steel", 6.5, 0, 0, 1957, 1962},
};
// clang-format on

// Further countries, each with the one coin a typical collection has from it.
// clang-format off
constexpr CoinType kSingleCoinCountries[] = {
    {"Chile", "", "Santiago",
     "5 Pesos", "Condor 5 Pesos", "Gold .900", 3.05, 0, 0.9, 1895, 1900},
    {"Peru", "Perú", "Lima",
     "1 Sol", "Sol de Oro", "Brass", 10.0, 0, 0, 1943, 1965},
    {"Colombia", "", "Bogotá",
     "1 Peso", "Bolívar Peso", "Copper-nickel", 6.0, 0, 0, 1974, 1981},
    {"Cuba", "", "Philadelphia",
     "1 Peso", "Star Peso", "Silver .900", 26.73, 0.9, 0, 1932, 1939},
    {"Philippines", "Pilipinas", "Manila",
     "1 Piso", "Rizal Piso", "Copper-nickel", 9.5, 0, 0, 1972, 1974},
    {"Thailand", "", "Bangkok",
     "1 Baht", "Bhumibol Baht", "Copper-nickel", 7.5, 0, 0, 1962, 1982},
    {"Vatican City", "Città del Vaticano", "Roma",
     "500 Lire", "Paul VI 500 Lire", "Silver .835", 11.0, 0.835, 0, 1963, 1977},
    {"Luxembourg", "Lëtzebuerg", "Utrecht",
     "1 Franc", "Grand Duke Jean Franc", "Copper-nickel", 4.0, 0, 0, 1965, 1984},
};
// clang-format on

struct Condition {
    const char *grade;
    double priceFactor;
};

constexpr Condition kConditions[] = {
    // Middle grades are the most common in a collection, hence listed more than once.
    {"PR", 3.0}, {"UNC", 2.2}, {"AU", 1.6}, {"XF", 1.3}, {"XF", 1.3}, {"VF", 1.0},
    {"VF", 1.0}, {"VF", 1.0},  {"F", 0.8},  {"F", 0.8},  {"VG", 0.6}, {"G", 0.5},
};

constexpr std::array kShortNotes = {"Cleaned",           "Toned",       "Rim nick",
                                    "Key date",          "Better date", "Lustrous",
                                    "Scratched reverse", "From a roll", "Ex Smith collection"};
constexpr std::array kVarieties = {
    "Doubled die obverse", "Small date", "Large date", "Overdate",
    "Proof-like",          "Wide rim",   "Mule",       "Repunched mint mark"};
constexpr std::array kTypes = {"Regular issue", "Regular issue", "Regular issue", "Commemorative",
                               "Trade coin"};
constexpr std::array kSellers = {
    "Heritage Auctions", "Local coin shop",       "Spring coin show", "eBay",
    "Estate sale",       "Gift from grandfather", "Club auction",     "Stack's Bowers"};
constexpr std::array kMintMarks = {"D", "S", "O", "CC", "A", "F", "J"};
constexpr std::array kNoteLines = {
    "Bought at the spring show.",
    "Light toning on the reverse.",
    "Small rim bump at 3 o'clock.",
    "Compare with the one in album 2.",
    "Seller's ticket kept in the flip.",
    "Certificate in the binder.",
    "Possible die crack through the date — check with a loupe.",
    "Part of a year set, do not sell separately.",
    "Upgrade candidate.",
    "Weighed 0.02 g light; wear consistent with grade.",
    "Prix d'achat en francs : 120,00 F.",
    "Traded for two Kennedy halves.",
};
constexpr int PictureVariants = 6;
constexpr int PictureSide = 40;

const CoinType &pickCoinType(Random &random)
{
    // Eight records in nine come from the countries collectors favour.
    return random.below(9) == 0 ? random.pick(kSingleCoinCountries) : random.pick(kCoinTypes);
}

double roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

constexpr double GramsPerTroyOunce = 31.1035;

// What the coin is worth in the condition it is in, in dollars.
double marketValue(const CoinType &type, const Condition &condition, int year, Random &random)
{
    const double bullion = type.weight * (type.silverFineness * 0.8 + type.goldFineness * 60.0);
    const double numismatic = random.between(0.1, 3.0) + double(2024 - year) / 40.0;
    return (bullion + numismatic) * condition.priceFactor * random.between(0.8, 1.6);
}

QString describe(const CoinType &type, int year, Random &random)
{
    const QString series = QString::fromUtf8(type.series);
    const QString denomination = QString::fromUtf8(type.denomination);
    const int form = random.below(100);
    if (form < 60)
        return QStringLiteral("%1 %2").arg(year).arg(series);
    if (form < 75)
        return QStringLiteral("%1 %2").arg(denomination).arg(year);
    if (form < 88) {
        const char *name = *type.nativeName ? type.nativeName : type.country;
        return QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(name), denomination).arg(year);
    }
    return QStringLiteral("%1 %2").arg(series.toLower()).arg(year); // typed in a hurry
}

QString notes(Random &random)
{
    if (random.percent(35))
        return {};
    QStringList lines;
    for (int count = random.between(1, 4); count > 0; --count)
        lines << QString::fromUtf8(random.pick(kNoteLines));
    return lines.join(QLatin1Char('\n'));
}

QDate purchaseDate(Random &random) { return QDate(1985, 1, 1).addDays(random.below(39 * 365)); }

// A coin seen from above: a shaded disc with a rim, in one of a few metal tones, on a
// light background. A little grain keeps the PNG near the size of a real thumbnail.
QByteArray coinPicture(int variant)
{
    static constexpr std::array<QRgb, PictureVariants> tones = {
        qRgb(212, 175, 55),  qRgb(192, 192, 200), qRgb(184, 115, 51),
        qRgb(170, 150, 110), qRgb(205, 127, 50),  qRgb(229, 228, 226),
    };
    const QRgb tone = tones[size_t(variant)];
    Random grain(quint64(variant) + 1);
    QImage image(PictureSide, PictureSide, QImage::Format_RGB32);
    const double centre = (PictureSide - 1) / 2.0;
    const double radius = PictureSide / 2.0 - 2;
    for (int y = 0; y < PictureSide; ++y) {
        for (int x = 0; x < PictureSide; ++x) {
            const double distance = std::hypot(x - centre, y - centre);
            const int noise = grain.between(-8, 8);
            if (distance > radius) {
                const int grey = 236 + noise / 4;
                image.setPixel(x, y, qRgb(grey, grey, grey));
                continue;
            }
            const bool rim = distance > radius - 3;
            const double light = rim ? 0.75 : 1.0 - 0.35 * (x + y) / (2.0 * PictureSide);
            const auto shade = [&](int channel) {
                return std::clamp(int(channel * light) + noise, 0, 255);
            };
            image.setPixel(x, y, qRgb(shade(qRed(tone)), shade(qGreen(tone)), shade(qBlue(tone))));
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// Collects one record's values, cut to what the columns keep.
class RecordBuilder {
public:
    explicit RecordBuilder(const store::FieldList &fields) : fields_(fields), record_(fields.size())
    {
    }

    void text(int column, const QString &value)
    {
        const store::FieldDescriptor &field = fields_[size_t(column)];
        record_[size_t(column)] = store::isMemoType(field.type)
                                      ? value
                                      : codec_.decode(codec_.encodeFitting(value, field.width));
    }
    void text(int column, const char *utf8) { text(column, QString::fromUtf8(utf8)); }
    void number(int column, double value)
    {
        record_[size_t(column)] = roundTo(value, fields_[size_t(column)].decimals);
    }
    void integer(int column, qint64 value) { record_[size_t(column)] = value; }
    void date(int column, QDate value) { record_[size_t(column)] = value; }
    void bytes(int column, const QByteArray &value) { record_[size_t(column)] = value; }

    GeneratedRecord take() { return std::move(record_); }

private:
    const store::FieldList &fields_;
    store::TextCodec codec_{store::TextEncoding::Utf8}; // the encoding createTable uses
    GeneratedRecord record_;
};

void removeHalfWrittenTables(const QString &folder)
{
    for (const QString &fileName : {CollectionGenerator::dataFileName(), CollectionGenerator::masterFileName()}) {
        try {
            store::Table::deleteTable(folder, fileName);
        } catch (const store::DatabaseError &) {
            // The error that brought us here is the one worth reporting.
        }
    }
}

const store::FieldList &recordFields()
{
    static const store::FieldList fields = database::recordTableFields();
    return fields;
}

} // namespace

CollectionGenerator::CollectionGenerator(quint64 seed) : seed_(seed)
{
    for (int variant = 0; variant < PictureVariants; ++variant)
        pictures_.push_back(coinPicture(variant));
}

GeneratedRecord CollectionGenerator::record(quint32 number) const
{
    Random random(seed_ * 0xD1B54A32D192ED03ULL + number);
    const CoinType &type = pickCoinType(random);
    const Condition &condition = random.pick(kConditions);
    const int year = random.between(type.firstYear, type.lastYear);
    const double market = marketValue(type, condition, year, random);

    RecordBuilder record(recordFields());
    record.integer(column::Number, number);
    record.text(column::Mark, "0");
    record.text(column::Descr, describe(type, year, random));
    record.text(column::Country, type.country);
    if (random.percent(30))
        record.text(column::ShortNote, random.pick(kShortNotes));
    if (!random.percent(5))
        record.text(column::Catalog, QStringLiteral("%1 %2")
                                         .arg(QLatin1String(random.percent(90) ? "KM#" : "Y#"))
                                         .arg(random.between(1, 1300)));
    record.text(column::Condition, condition.grade);
    const QString yearText = QString::number(year);
    record.text(column::Minted, random.percent(20)
                                    ? yearText + QLatin1Char(' ') + random.pick(kMintMarks)
                                    : yearText);
    record.text(column::FaceValue, type.denomination);
    record.number(column::Cost, market * random.between(0.5, 1.1));
    record.number(column::MarketValue, market);
    if (random.percent(15))
        record.text(column::Variety, random.pick(kVarieties));
    record.text(column::Category, type.goldFineness > 0 ? "Bullion" : "Circulating");
    record.text(column::Type, random.pick(kTypes));
    record.text(column::Mint, type.mint);
    record.text(column::Metal, type.metal);
    record.number(column::Weight, type.weight);
    if (type.silverFineness > 0)
        record.number(column::Silver, type.weight * type.silverFineness / GramsPerTroyOunce);
    if (type.goldFineness > 0)
        record.number(column::Gold, type.weight * type.goldFineness / GramsPerTroyOunce);
    if (random.percent(20))
        record.number(column::Insured, market * 1.2);
    if (!random.percent(20))
        record.date(column::Bought, purchaseDate(random));
    if (random.percent(60))
        record.text(column::Storage, QStringLiteral("Album %1, page %2")
                                         .arg(random.between(1, 12))
                                         .arg(random.between(1, 40)));
    if (random.percent(50))
        record.text(column::Seller, random.pick(kSellers));
    if (random.percent(10))
        record.text(column::Certificate,
                    QStringLiteral("Certified %1 #%2")
                        .arg(QLatin1String(random.percent(50) ? "PCGS" : "NGC"))
                        .arg(random.between(1000000, 9999999)));
    if (random.percent(5))
        record.text(column::Attachment, QStringLiteral("scans/coin-%1.jpg").arg(number));
    record.text(column::Notes, notes(random));
    if (random.below(20) == 0)
        record.bytes(column::Picture, random.pick(pictures_));
    return record.take();
}

void CollectionGenerator::fill(store::Table &table, const GeneratedRecord &record)
{
    for (int column = 0; column < int(record.size()); ++column) {
        const ColumnValue &value = record[size_t(column)];
        if (const auto *integer = std::get_if<qint64>(&value))
            table.setInteger(column, *integer);
        else if (const auto *number = std::get_if<double>(&value))
            table.setNumber(column, *number);
        else if (const auto *text = std::get_if<QString>(&value); text && !text->isEmpty())
            table.setText(column, *text);
        else if (const auto *date = std::get_if<QDate>(&value))
            table.setDate(column, *date);
        else if (const auto *bytes = std::get_if<QByteArray>(&value))
            table.setBytes(column, *bytes);
        // Nothing to do for a blank value: an appended record starts blank.
    }
}

void CollectionGenerator::write(const QString &folder, quint32 count,
                                const std::vector<store::TagDefinition> &tags) const
{
    for (const QString &fileName : {dataFileName(), masterFileName()})
        if (store::existsInFolder(folder, fileName))
            throw store::DatabaseError(QStringLiteral("The table %1 exists already.").arg(store::resolveInFolder(folder, fileName)));
    const QString path = QDir(folder).filePath(dataFileName());
    if (!QDir().mkpath(folder))
        throw store::DatabaseError(QStringLiteral("Cannot create the folder %1.").arg(folder));
    store::Table::createTable(path, recordFields());
    try {
        store::Table table;
        table.open({.folder = folder, .fileName = dataFileName(), .exclusive = true});
        for (const store::TagDefinition &tag : tags)
            table.addTag(tag); // while empty, so the appends below keep the tags current
        appendRecords(table, count);
        table.flush();
        writeMaster(folder, count);
    } catch (const store::DatabaseError &) {
        removeHalfWrittenTables(folder); // a bad tag must not leave a table that blocks a retry
        throw;
    }
}

// Without this row the program would start numbering at 1, giving new records the
// numbers the generated ones have.
void CollectionGenerator::writeMaster(const QString &folder, quint32 count)
{
    database::createMasterTable(folder, masterFileName());
    store::Table master;
    master.open({.folder = folder, .fileName = masterFileName(), .exclusive = true});
    master.append();
    master.setText(database::master_column::FileName, dataFileName());
    master.setText(database::master_column::DatabaseName, dataFileName());
    master.setInteger(database::master_column::LastNumber, count);
    master.post();
    master.flush();
}

void CollectionGenerator::appendRecords(store::Table &table, quint32 count) const
{
    store::BulkUpdate bulk(table);
    for (quint32 number = 1; number <= count; ++number) {
        table.append();
        fill(table, record(number));
        table.post();
    }
}

} // namespace numora::tools
