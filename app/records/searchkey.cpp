#include "app/records/searchkey.h"

#include <QChar>

#include <string>
#include <unordered_map>

namespace {

// Beyond this many spellings of the start of a value, the index is read by a shorter start.
constexpr size_t kMaxSpellings = 64;
// No letter beyond this code point has another case.
constexpr char32_t kLastCasedCodePoint = 0x1FFFF;

using CaseClasses = std::unordered_map<char32_t, std::u32string>;

// Every character that folds to the same letter as another, keyed by that folded letter.
const CaseClasses& caseClasses()
{
    static const CaseClasses classes = [] {
        CaseClasses built;
        for (char32_t c = 0; c <= kLastCasedCodePoint; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded != c) {
                std::u32string& members = built[folded];
                if (members.empty())
                    members.push_back(folded);
                members.push_back(c);
            }
        }
        return built;
    }();
    return classes;
}

// The spellings of `c` an index must be asked for; the index itself equates ASCII letters.
std::u32string spellingsForIndex(char32_t c)
{
    const CaseClasses& classes = caseClasses();
    const auto found = classes.find(QChar::toCaseFolded(c));
    if (found == classes.end())
        return std::u32string(1, c);
    std::u32string spellings;
    bool haveAscii = false;
    for (const char32_t member : found->second) {
        if (member < 0x80) {
            if (haveAscii)
                continue;
            haveAscii = true;
        }
        spellings.push_back(member);
    }
    return spellings;
}

QByteArray toUtf8(const std::u32string& text)
{
    return QString::fromUcs4(text.data(), qsizetype(text.size())).toUtf8();
}

std::u32string withoutTrailingBlanks(const QString& text)
{
    std::u32string chars = text.toStdU32String();
    while (!chars.empty() && chars.back() == U' ')
        chars.pop_back();
    return chars;
}

} // namespace

std::u32string foldedForSearch(const QString& text)
{
    std::u32string chars = withoutTrailingBlanks(text);
    for (char32_t& c : chars)
        c = QChar::toCaseFolded(c);
    return chars;
}

SearchKey::SearchKey(const QString& value) : folded_(foldedForSearch(value))
{
    const std::u32string wanted = withoutTrailingBlanks(value);
    std::vector<std::u32string> starts{std::u32string()};
    bool whole = true;
    for (const char32_t c : wanted) {
        const std::u32string spellings = spellingsForIndex(c);
        if (starts.size() * spellings.size() > kMaxSpellings) {
            whole = false;
            break;
        }
        std::vector<std::u32string> longer;
        for (const std::u32string& start : starts) {
            for (const char32_t spelling : spellings)
                longer.push_back(start + spelling);
        }
        starts = std::move(longer);
    }
    for (const std::u32string& start : starts) {
        const QByteArray from = toUtf8(start);
        // A whole value is followed by blanks at most: the stretch ends before " !". A
        // start only is followed by anything: the stretch ends before a byte UTF-8 never uses.
        ranges_.push_back({from, from + (whole ? QByteArray(" !") : QByteArray("\xff"))});
    }
}

bool SearchKey::matches(const QString& stored) const
{
    return foldedForSearch(stored) == folded_;
}
