#include "bench/synthetic.h"

#include "app/records/database.h"
#include "app/records/schema.h"

#include <QFile>

#include <cstdint>
#include <cstdio>
#include <vector>

#include <sqlite3.h>

namespace {

constexpr std::uint64_t kSeed = 0x464c41534b424f4fULL;

// splitmix64: tiny, fast, and gives the same sequence on every platform and compiler.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int between(int low, int high) { return low + int(next() % std::uint64_t(high - low + 1)); }
    template <std::size_t N> const char* pick(const char* const (&words)[N])
    {
        return words[next() % N];
    }

private:
    std::uint64_t state_;
};

const char* const kFragments[] = {"methyl",   "ethyl",  "propyl", "butyl", "phenyl", "hydroxy",
                                  "amino",    "chloro", "bromo",  "nitro", "oxo",    "carboxy",
                                  "benzene",  "-2-",    "-1,3-",  "cyclo", "hexan",  "pentan",
                                  "oic acid", "ol",     "one",    "amide", " ",      "sodium "};
const char* const kWords[] = {"white",    "colourless", "pale",     "yellow",      "crystalline",
                              "powder",   "liquid",     "solid",    "odourless",   "pungent",
                              "granules", "flakes",     "needles",  "hygroscopic", "soluble",
                              "in",       "water",      "ethanol",  "keep",        "tightly",
                              "closed",   "store",      "below",    "25 C",        "toxic",
                              "if",       "swallowed",  "irritant", "avoid",       "light"};
const char* const kElements[] = {"N", "O", "S", "Cl", "Br", "Na", "K", "P", "F", "Ca"};

// Words of appearance and note text, cut to exactly `length` characters.
std::string words(Random& random, int length)
{
    std::string text;
    while (int(text.size()) < length) {
        if (!text.empty())
            text += ' ';
        text += random.pick(kWords);
    }
    text.resize(std::size_t(length));
    return text;
}

std::string decimal(Random& random, int low, int high, int places)
{
    int scale = 1;
    for (int i = 0; i < places; ++i)
        scale *= 10;
    const int value = random.between(low * scale, high * scale);
    char text[32];
    std::snprintf(text, sizeof text, "%d.%0*d", value / scale, places, value % scale);
    return text;
}

// A CAS registry number with a correct check digit, such as 7732-18-5.
std::string casNumber(Random& random)
{
    std::string digits = std::to_string(random.between(1, 9));
    const int more = random.between(1, 6) + 2;
    for (int i = 0; i < more; ++i)
        digits += char('0' + random.between(0, 9));
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        sum += int(digits.size() - i) * (digits[i] - '0');
    return digits.substr(0, digits.size() - 2) + '-' + digits.substr(digits.size() - 2) + '-' +
           char('0' + sum % 10);
}

std::string formula(Random& random)
{
    std::string text = "C";
    text += std::to_string(random.between(1, 40));
    text += 'H';
    text += std::to_string(random.between(0, 80));
    const int others = random.between(0, 3);
    for (int i = 0; i < others; ++i) {
        text += random.pick(kElements);
        const int count = random.between(1, 6);
        if (count > 1)
            text += std::to_string(count);
    }
    return text;
}

} // namespace

std::string syntheticName(long long number)
{
    // Every fiftieth record repeats an earlier name, as a real list has the odd duplicate.
    if (number % 50 == 0)
        return syntheticName(number / 2);
    Random random(kSeed ^ std::uint64_t(number) * 0x2545f4914f6cdd1dULL);
    std::string name(std::size_t(random.between(8, 40)), ' ');
    for (char& c : name)
        c = char('A' + random.between(0, 25));
    return name;
}

SyntheticRow syntheticRow(long long number)
{
    Random random(kSeed + std::uint64_t(number) * 0x9e3779b97f4a7c15ULL + 1);
    SyntheticRow row;
    row[0] = syntheticName(number);
    std::string iupac;
    const int iupacLength = random.between(20, 120);
    while (int(iupac.size()) < iupacLength)
        iupac += random.pick(kFragments);
    iupac.resize(std::size_t(iupacLength));
    row[1] = iupac;
    row[2] = casNumber(random);
    row[3] = formula(random);
    row[4] = decimal(random, 10, 900, 2);
    row[5] = decimal(random, 5, 450, 2);
    row[6] = words(random, random.between(20, 80));
    row[7] = decimal(random, 0, 3, 3);
    row[8] = random.between(0, 3) == 0 ? std::string() : decimal(random, 1, 13, 1);
    row[9] = words(random, random.between(30, 200));
    row[10] = "/home/user/.local/share/Flaskbook/c" + std::to_string(number) + ".gif";
    return row;
}

Status buildSyntheticDatabase(const QString& path, long long count,
                              const std::vector<std::string>& structures)
{
    QFile::remove(path);
    if (Status s = Database::CreateDatabase(path); !s.ok())
        return s;

    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return Status::failure(QStringLiteral("cannot open ") + path);
    }
    auto exec = [db](const std::string& sql) {
        return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    // No journal and no syncing while building; both are settings of this connection only,
    // so every later connection uses the file with the engine's defaults.
    exec("PRAGMA journal_mode=OFF");
    exec("PRAGMA synchronous=OFF");
    exec("PRAGMA cache_size=-65536");

    // Indexes built after the rows are sorted once, far faster than a million inserts into
    // seven indexes; they are dropped and recreated from their own stored definitions.
    std::vector<std::pair<std::string, std::string>> indexes;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT name, sql FROM sqlite_master WHERE type='index' AND "
                       "tbl_name='DATA1' AND sql IS NOT NULL",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        indexes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                             reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);

    std::string error;
    exec("BEGIN");
    for (const auto& index : indexes)
        exec("DROP INDEX " + index.first);
    sqlite3_prepare_v2(db,
                       "INSERT INTO "
                       "DATA1(Name,IUPAC,CAS,MolFormula,MolWeight,EqWeight,Appearance,Spgr,pH,"
                       "SpecialNote,Image,Structure) VALUES(?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (long long number = 1; number <= count && error.empty(); ++number) {
        const SyntheticRow row = syntheticRow(number);
        for (int i = 0; i < 11; ++i)
            sqlite3_bind_text(st, i + 1, row[i].data(), int(row[i].size()), SQLITE_STATIC);
        if (!structures.empty()) {
            const std::string& structure = structures[size_t(number - 1) % structures.size()];
            sqlite3_bind_text(st, 12, structure.data(), int(structure.size()), SQLITE_STATIC);
        }
        if (sqlite3_step(st) != SQLITE_DONE)
            error = sqlite3_errmsg(db);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    for (const auto& index : indexes) {
        if (error.empty() && !exec(index.second))
            error = sqlite3_errmsg(db);
    }
    if (error.empty() && !exec("COMMIT"))
        error = sqlite3_errmsg(db);
    sqlite3_close(db);
    return error.empty() ? Status() : Status::failure(QString::fromStdString(error));
}
