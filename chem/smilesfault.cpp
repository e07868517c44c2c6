#include "chem/smilesfault.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

namespace {

bool isElement(const QString& symbol)
{
    static const QStringList elements =
        QStringLiteral(
            "H He Li Be B C N O F Ne Na Mg Al Si P S Cl Ar K Ca Sc Ti V Cr Mn Fe Co Ni Cu Zn Ga Ge "
            "As Se Br Kr Rb Sr Y Zr Nb Mo Tc Ru Rh Pd Ag Cd In Sn Sb Te I Xe Cs Ba La Ce Pr Nd Pm "
            "Sm "
            "Eu Gd Tb Dy Ho Er Tm Yb Lu Hf Ta W Re Os Ir Pt Au Hg Tl Pb Bi Po At Rn Fr Ra Ac Th Pa "
            "U "
            "Np Pu Am Cm Bk Cf Es Fm Md No Lr Rf Db Sg Bh Hs Mt Ds Rg Cn Nh Fl Mc Lv Ts Og")
            .split(QLatin1Char(' '));
    return elements.contains(symbol);
}

// The contents of a bracket atom: isotope, element, chirality, hydrogens, charge, class.
bool isBracketAtom(const QString& contents)
{
    static const QRegularExpression shape(
        QStringLiteral("^(\\d+)?([A-Z][a-z]?|[a-z]{1,2}|\\*|#\\d+)"
                       "(@(?:@|TH[12]|AL[12]|SP[1-3]|TB\\d{1,2}|OH\\d{1,2})?)?"
                       "(H\\d*)?([+-]\\d*|\\+\\++|-+)?(:\\d+)?$"));
    const QRegularExpressionMatch match = shape.match(contents);
    if (!match.hasMatch())
        return false;
    QString symbol = match.captured(2);
    if (symbol == QLatin1String("*") || symbol.startsWith(QLatin1Char('#')))
        return true;
    // Aromatic atoms are written in lower case.
    symbol[0] = symbol[0].toUpper();
    return isElement(symbol);
}

// Length of the atom of the organic subset (written without brackets) at `i`, or 0.
qsizetype organicAtomLength(const QString& text, qsizetype i, qsizetype end)
{
    const QChar c = text[i];
    const QChar next = i + 1 < end ? text[i + 1] : QChar();
    if ((c == QLatin1Char('C') && next == QLatin1Char('l')) ||
        (c == QLatin1Char('B') && next == QLatin1Char('r')))
        return 2;
    return QStringLiteral("BCNOPSFIbcnops*").contains(c) ? 1 : 0;
}

// Length of the bond symbol at `i`, or 0.
qsizetype bondLength(const QString& text, qsizetype i, qsizetype end)
{
    const QStringView rest = QStringView(text).mid(i, end - i);
    if (rest.startsWith(QLatin1String("->")) || rest.startsWith(QLatin1String("<-")))
        return 2;
    return QStringLiteral("-=#$:/\\").contains(text[i]) ? 1 : 0;
}

} // namespace

SmilesFault findSmilesFault(const QString& text)
{
    qsizetype end = 0;
    while (end < text.size() && !text[end].isSpace())
        ++end;
    if (end == 0)
        return {1, QStringLiteral("there is no atom")};

    bool atomBefore = false;           // something to attach a bond, branch or ring bond to
    int atomCount = 0;                 // atoms so far, to tell which atom opened a ring bond
    int bondAt = 0;                    // a bond still waiting for the atom after it
    int emptyBranchAt = 0;             // a '(' with no atom in it yet
    int dotAt = 0;                     // the last '.', while no atom follows it
    QList<int> branches;               // the '(' not yet closed
    QHash<int, QPair<int, int>> rings; // ring bond number -> (position, atom) that opened it

    for (qsizetype i = 0; i < end;) {
        const int pos = int(i) + 1;
        const QChar c = text[i];
        qsizetype atomLength = organicAtomLength(text, i, end);
        if (c == QLatin1Char('[')) {
            const qsizetype close = text.indexOf(QLatin1Char(']'), i);
            if (close < 0 || close >= end)
                return {pos, QStringLiteral("the '[' is never closed")};
            const QString contents = text.mid(i + 1, close - i - 1);
            if (!isBracketAtom(contents))
                return {pos, QStringLiteral("\"[%1]\" is not an atom").arg(contents)};
            atomLength = close - i + 1;
        }
        if (atomLength > 0) {
            atomBefore = true;
            ++atomCount;
            bondAt = emptyBranchAt = dotAt = 0;
            i += atomLength;
            continue;
        }
        if (const qsizetype length = bondLength(text, i, end)) {
            if (!atomBefore)
                return {pos, QStringLiteral("a bond without an atom before it")};
            if (bondAt)
                return {pos, QStringLiteral("two bonds in a row")};
            bondAt = pos;
            i += length;
            continue;
        }
        if (c == QLatin1Char('(')) {
            if (!atomBefore || emptyBranchAt)
                return {pos, QStringLiteral("a branch without an atom before it")};
            if (bondAt)
                return {bondAt, QStringLiteral("a bond before a branch")};
            branches.append(pos);
            emptyBranchAt = pos;
            ++i;
            continue;
        }
        if (c == QLatin1Char(')')) {
            if (branches.isEmpty())
                return {pos, QStringLiteral("a ')' without its '('")};
            if (bondAt)
                return {bondAt, QStringLiteral("a bond without an atom after it")};
            if (emptyBranchAt)
                return {emptyBranchAt, QStringLiteral("an empty branch")};
            branches.removeLast();
            ++i;
            continue;
        }
        if (c == QLatin1Char('.')) {
            if (bondAt)
                return {bondAt, QStringLiteral("a bond without an atom after it")};
            if (!atomBefore)
                return {pos, QStringLiteral("a '.' without an atom before it")};
            atomBefore = false;
            dotAt = pos;
            ++i;
            continue;
        }
        if (c.isDigit() || c == QLatin1Char('%')) {
            qsizetype length = 1;
            int number = c.digitValue();
            if (c == QLatin1Char('%')) {
                static const QRegularExpression percent(
                    QStringLiteral("%(\\d\\d|\\((\\d{1,5})\\))"));
                const QRegularExpressionMatch match =
                    percent.match(text, i, QRegularExpression::NormalMatch,
                                  QRegularExpression::AnchorAtOffsetMatchOption);
                if (!match.hasMatch() || match.capturedEnd() > end)
                    return {pos, QStringLiteral("a '%' not followed by two digits")};
                length = match.capturedLength();
                number = (match.hasCaptured(2) ? match.captured(2) : match.captured(1)).toInt();
            }
            if (!atomBefore || emptyBranchAt)
                return {pos, QStringLiteral("a ring bond number without an atom before it")};
            if (const auto open = rings.constFind(number); open != rings.constEnd()) {
                if (open->second == atomCount)
                    return {pos, QStringLiteral("ring bond %1 closes on its own atom").arg(number)};
                rings.erase(open);
            } else {
                rings.insert(number, {pos, atomCount});
            }
            bondAt = 0;
            i += length;
            continue;
        }
        if (c.isLetter())
            return {pos, QStringLiteral("'%1' is not an atom here (write other elements in "
                                        "brackets, like [Na+])")
                             .arg(c)};
        return {pos, QStringLiteral("the character '%1' does not belong in SMILES").arg(c)};
    }

    if (bondAt)
        return {bondAt, QStringLiteral("a bond without an atom after it")};
    if (!branches.isEmpty())
        return {branches.first(), QStringLiteral("a '(' that is never closed")};
    if (!rings.isEmpty()) {
        auto first = rings.constBegin();
        for (auto it = rings.constBegin(); it != rings.constEnd(); ++it)
            if (it->first < first->first)
                first = it;
        return {first->first, QStringLiteral("ring bond %1 is never closed").arg(first.key())};
    }
    if (dotAt)
        return {dotAt, QStringLiteral("a '.' without an atom after it")};
    return {};
}
