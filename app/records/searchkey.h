#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

// A value searched for as a value: case ignored for every letter, trailing blanks ignored
// on both sides. It also names the stretches of a case-blind (ASCII NOCASE) index that can
// hold its matches, so a search reads only those.
class SearchKey {
public:
    explicit SearchKey(const QString& value);

    bool matches(const QString& stored) const;

    // One stretch of a NOCASE index, from `from` (included) to `to` (excluded), in UTF-8.
    struct Range {
        QByteArray from;
        QByteArray to;
    };
    const std::vector<Range>& ranges() const { return ranges_; }

private:
    std::u32string folded_;
    std::vector<Range> ranges_;
};

// The text with trailing blanks removed and every letter folded to one case.
std::u32string foldedForSearch(const QString& text);
