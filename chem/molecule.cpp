#include "chem/molecule.h"

#include "chem/rdkitread.h"
#include "chem/smilesfault.h"

#include <GraphMol/Depictor/RDDepictor.h>
#include <GraphMol/Descriptors/MolDescriptors.h>
#include <GraphMol/FileParsers/FileParsers.h>
#include <GraphMol/MolDraw2D/MolDraw2DSVG.h>
#include <GraphMol/MolOps.h>
#include <GraphMol/RWMol.h>
#include <GraphMol/SanitException.h>
#include <GraphMol/SmilesParse/SmilesParse.h>
#include <GraphMol/SmilesParse/SmilesWrite.h>
#include <RDGeneral/Invariant.h>
#include <RDGeneral/RDLog.h>

#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <cmath>
#include <functional>
#include <mutex>

struct Molecule::Data {
    std::unique_ptr<RDKit::ROMol> mol;
    QString formula;
    double weight = 0;
    int heavyAtoms = 0;
    // The MOL block written to check that the molecule survives storing, kept so that storing
    // it does not write it again; empty where no check was needed.
    QString checkedBlock;
    // RDKit caches computed properties inside even a const molecule, so every use holds this.
    mutable std::mutex lock;
    // The last drawing, so a repaint at the same size does not draw again.
    mutable QSize svgSize;
    mutable QByteArray svg;
};

namespace {

constexpr unsigned kMaxHeavyAtoms = 1000;

using Parse = std::function<RDKit::RWMol*(bool sanitize)>;
// The message for text the parser could not read, given RDKit's detail (may be empty).
using Unreadable = std::function<QString(const QString& detail)>;

// RDKit reports through its own log as well as through exceptions; our messages come from the
// exceptions and the SMILES check, so the log stays quiet rather than filling stderr.
void silenceRdkitLog()
{
    static std::once_flag once;
    std::call_once(once, [] { boost::logging::disable_logs("rdApp.*"); });
}

bool holdsBinary(const QString& text)
{
    for (const QChar c : text)
        if ((c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\r') &&
             c != QLatin1Char('\t')) ||
            c.unicode() == 0x7f)
            return true;
    return false;
}

// "atom 2 (N+)": numbered from 1 as in the MOL block's atom lines and the SMILES.
QString atomName(const Parse& parse, unsigned index)
{
    QString name = QStringLiteral("atom %1").arg(index + 1);
    try {
        const std::unique_ptr<RDKit::RWMol> raw(parse(false));
        if (!raw || index >= raw->getNumAtoms())
            return name;
        const RDKit::Atom* atom = raw->getAtomWithIdx(index);
        QString symbol = QString::fromStdString(atom->getSymbol());
        if (const int charge = atom->getFormalCharge())
            symbol += (charge > 0 ? QStringLiteral("+") : QStringLiteral("-")) +
                      (std::abs(charge) > 1 ? QString::number(std::abs(charge)) : QString());
        return QStringLiteral("%1 (%2)").arg(name, symbol);
    } catch (...) {
        return name;
    }
}

QString atomList(const std::vector<unsigned>& indices)
{
    QStringList numbers;
    for (const unsigned index : indices)
        numbers.append(QString::number(index + 1));
    return numbers.join(QStringLiteral(", "));
}

// Runs `parse` with sanitizing, turning every way RDKit can fail into a message.
Status parseWithRdkit(const Parse& parse, std::unique_ptr<RDKit::RWMol>& mol,
                      const Unreadable& unreadable)
{
    try {
        mol.reset(parse(true));
        if (!mol)
            return Status::failure(unreadable({}));
        return {};
    } catch (const RDKit::AtomValenceException& e) {
        return Status::failure(QStringLiteral("Valence error: %1 has more bonds than it allows.")
                                   .arg(atomName(parse, e.getAtomIdx())));
    } catch (const RDKit::AtomKekulizeException& e) {
        return Status::failure(
            QStringLiteral("Aromaticity error: %1 is marked aromatic but is in no ring.")
                .arg(atomName(parse, e.getAtomIdx())));
    } catch (const RDKit::KekulizeException& e) {
        return Status::failure(
            QStringLiteral("The aromatic atoms %1 cannot take alternating single and double bonds.")
                .arg(atomList(e.getAtomIndices())));
    } catch (const RDKit::MolSanitizeException& e) {
        return Status::failure(QStringLiteral("The structure is not sound: %1").arg(e.what()));
    } catch (const Invar::Invariant&) {
        // Its text is a line of RDKit's source, of no use to the reader.
        return Status::failure(unreadable(QStringLiteral("its parts contradict each other")));
    } catch (const std::exception& e) {
        return Status::failure(unreadable(QString::fromUtf8(e.what())));
    } catch (...) {
        return Status::failure(unreadable({}));
    }
}

Status readSmiles(const QString& line, std::unique_ptr<RDKit::RWMol>& mol)
{
    const std::string smiles = line.toStdString();
    const Parse parse = [&smiles](bool sanitize) {
        RDKit::SmilesParserParams params;
        params.sanitize = sanitize;
        RDKit::RWMol* mol = RDKit::SmilesToMol(smiles, params);
        // The name after the SMILES would become the stored MOL block's title line, where a
        // "$$$$" would end the record; the record keeps its own name.
        if (mol)
            mol->clearProp(RDKit::common_properties::_Name);
        return mol;
    };
    return parseWithRdkit(parse, mol, [&line](const QString& detail) {
        if (const SmilesFault fault = findSmilesFault(line); fault.position > 0)
            return QStringLiteral("The SMILES cannot be read at position %1: %2.")
                .arg(fault.position)
                .arg(fault.reason);
        return detail.isEmpty()
                   ? QStringLiteral("The text cannot be read as SMILES.")
                   : QStringLiteral("The text cannot be read as SMILES: %1").arg(detail);
    });
}

// Where a line starting with `start` begins, or -1.
qsizetype lineStarting(const QString& text, QLatin1String start)
{
    if (text.startsWith(start))
        return 0;
    const qsizetype at = text.indexOf(QLatin1Char('\n') + start);
    return at < 0 ? -1 : at + 1;
}

Status checkEnd(const QString& block)
{
    if (lineStarting(block, QLatin1String("M  END")) < 0)
        return Status::failure(
            QStringLiteral("The MOL block has no \"M  END\" line: it is incomplete."));
    return {};
}

// RDKit would try to allocate what a V3000 counts line promises, however large.
Status checkV3000Counts(const QString& block)
{
    if (!block.contains(QLatin1String("M  V30 COUNTS")))
        return {};
    static const QRegularExpression counts(QStringLiteral("^M  V30 COUNTS +(\\d+) +(\\d+)"),
                                           QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = counts.match(block);
    if (!match.hasMatch())
        return {};
    const qsizetype lines = block.count(QLatin1Char('\n')) + 1;
    for (const int n : {1, 2})
        if (match.captured(n).size() > 9 || match.captured(n).toLongLong() > lines)
            return Status::failure(QStringLiteral("The MOL block's counts line promises %1 atoms "
                                                  "and %2 bonds, but the block has only %3 lines.")
                                       .arg(match.captured(1), match.captured(2))
                                       .arg(lines));
    return {};
}

// RDKit stops at a bond to a missing atom without naming the line (and without freeing what
// it built so far).
Status checkV2000Bonds(const QString& block)
{
    const QList<QStringView> lines = QStringView(block).split(QLatin1Char('\n'));
    if (lines.size() < 4 || lines[3].contains(QLatin1String("V3000")))
        return {};
    bool atomsRead = false, bondsRead = false;
    const int atoms = lines[3].left(3).trimmed().toInt(&atomsRead);
    const int bonds = lines[3].mid(3, 3).trimmed().toInt(&bondsRead);
    if (!atomsRead || !bondsRead)
        return {}; // RDKit names the counts line
    for (int i = 4 + atoms; i < 4 + atoms + bonds && i < lines.size(); ++i)
        for (const int column : {0, 3}) {
            bool read = false;
            const int atom = lines[i].mid(column, 3).trimmed().toInt(&read);
            if (read && (atom < 1 || atom > atoms))
                return Status::failure(QStringLiteral("The MOL block cannot be read: the bond on "
                                                      "line %1 names atom %2 of %3.")
                                           .arg(i + 1)
                                           .arg(atom)
                                           .arg(atoms));
        }
    return {};
}

// RDKit's full reading, or only the sanitizing steps that find valence and aromaticity faults
// and count every atom's hydrogens: no ring and aromaticity perception, no stereo, explicit
// hydrogens kept.
enum class Perception { Full, None };

Status readMolBlock(QString block, std::unique_ptr<RDKit::RWMol>& mol, Perception perception)
{
    // Of an SD record only the first molecule counts.
    if (const qsizetype end = lineStarting(block, QLatin1String("$$$$")); end >= 0)
        block.truncate(end);
    for (const auto check : {checkEnd, checkV3000Counts, checkV2000Bonds})
        if (const Status status = check(block); !status.ok())
            return status;
    const std::string text = block.toStdString();
    const Parse parse = [&text, perception](bool sanitize) {
        if (perception == Perception::Full || !sanitize)
            return RDKit::MolBlockToMol(text, sanitize, /*removeHs=*/true, /*strictParsing=*/true);
        std::unique_ptr<RDKit::RWMol> raw(RDKit::MolBlockToMol(text, false, false, true));
        unsigned failedStep = 0;
        if (raw)
            RDKit::MolOps::sanitizeMol(*raw, failedStep,
                                       RDKit::MolOps::SANITIZE_CLEANUP |
                                           RDKit::MolOps::SANITIZE_PROPERTIES |
                                           RDKit::MolOps::SANITIZE_KEKULIZE);
        return raw.release();
    };
    return parseWithRdkit(parse, mol, [](QString detail) {
        if (detail.isEmpty())
            return QStringLiteral("The MOL block cannot be read.");
        // RDKit writes "on line4" as often as "on line 4".
        detail.replace(QRegularExpression(QStringLiteral("line(\\d)")), QStringLiteral("line \\1"));
        return QStringLiteral("The MOL block cannot be read: %1").arg(detail);
    });
}

// A molecule from SMILES has no coordinates; a MOL block may have none (all zero, or all
// atoms on one spot), unusable ones, or 3-D ones that draw as a tangle.
bool lacksDrawingCoordinates(const RDKit::ROMol& mol)
{
    if (mol.getNumConformers() == 0)
        return true;
    const RDKit::Conformer& conformer = mol.getConformer();
    if (conformer.is3D())
        return true;
    const RDGeom::POINT3D_VECT& positions = conformer.getPositions();
    bool allOnOneSpot = true;
    for (const RDGeom::Point3D& p : positions) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::abs(p.x) > 1e6 ||
            std::abs(p.y) > 1e6)
            return true;
        allOnOneSpot = allOnOneSpot && p.x == positions[0].x && p.y == positions[0].y;
    }
    return positions.size() > 1 && allOnOneSpot;
}

// The formula of the molecule as its stored MOL block (written into `block`) reads back, or an
// empty string when it does not read back. V2000 cannot say everything SMILES can (a quadruple
// bond, say).
QString formulaAfterStoring(const RDKit::ROMol& mol, QString& block)
{
    try {
        const std::string written = RDKit::MolToMolBlock(mol);
        block = QString::fromStdString(written);
        const std::unique_ptr<RDKit::RWMol> back(RDKit::MolBlockToMol(written));
        return back ? QString::fromStdString(RDKit::Descriptors::calcMolFormula(*back)) : QString();
    } catch (...) {
        return {};
    }
}

QString writeSmiles(const RDKit::ROMol& mol, bool canonical)
{
    try {
        return QString::fromStdString(RDKit::MolToSmiles(mol, true, false, -1, canonical));
    } catch (...) {
        return {};
    }
}

QString weightWithTwoDecimals(double weight)
{
    return QString::number(weight, 'f', 2);
}

// The checks every structure text passes, around the parse itself.
Status readChecked(const QString& text, const std::function<Status(const QString&)>& parse)
{
    if (text.trimmed().isEmpty())
        return Status::failure(QStringLiteral("The text is empty: it holds no structure."));
    if (holdsBinary(text))
        return Status::failure(
            QStringLiteral("The text holds binary data, not a SMILES string or a MOL block."));
    silenceRdkitLog();
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return parse(normalized);
}

Status checkSize(const RDKit::ROMol* mol)
{
    if (mol->getNumAtoms() == 0)
        return Status::failure(QStringLiteral("The structure has no atoms."));
    const unsigned heavyAtoms = mol->getNumHeavyAtoms();
    if (heavyAtoms > kMaxHeavyAtoms)
        return Status::failure(
            QStringLiteral("The structure has %1 heavy atoms; Flaskbook refuses more than 1,000 "
                           "heavy atoms.")
                .arg(heavyAtoms));
    return {};
}

} // namespace

Status Molecule::fromText(const QString& text, Molecule& out)
{
    return read(text, Format::Guess, out);
}

Status readRdkitMolecule(const QString& text, StructureText kind,
                         std::unique_ptr<RDKit::RWMol>& mol, bool* fromSmiles)
{
    return readChecked(text, [&](const QString& normalized) {
        // A MOL block has three header lines before its counts line; SMILES takes one line.
        const bool smiles =
            kind == StructureText::Smiles ||
            (kind == StructureText::Guess && !normalized.trimmed().contains(QLatin1Char('\n')));
        if (fromSmiles)
            *fromSmiles = smiles;
        const Status parsed =
            smiles ? readSmiles(normalized.trimmed().section(QLatin1Char('\n'), 0, 0), mol)
                   : readMolBlock(normalized, mol, Perception::Full);
        return parsed.ok() ? checkSize(mol.get()) : parsed;
    });
}

Status Molecule::weighMolBlock(const QString& block, QString& formula, QString& weight)
{
    std::unique_ptr<RDKit::RWMol> mol;
    const Status parsed = readChecked(block, [&mol](const QString& normalized) {
        // What perception adds (rings, aromaticity, stereo, hydrogens as counts instead of
        // atoms) changes neither formula nor weight.
        const Status read = readMolBlock(normalized, mol, Perception::None);
        return read.ok() ? checkSize(mol.get()) : read;
    });
    if (!parsed.ok())
        return parsed;
    try {
        formula = QString::fromStdString(RDKit::Descriptors::calcMolFormula(*mol));
        weight = weightWithTwoDecimals(RDKit::Descriptors::calcAMW(*mol));
    } catch (...) {
        return Status::failure(QStringLiteral("The structure cannot be weighed."));
    }
    return {};
}

Status Molecule::read(const QString& text, Format format, Molecule& out)
{
    out = Molecule();
    std::unique_ptr<RDKit::RWMol> mol;
    bool fromSmiles = false;
    const StructureText kind = format == Format::Smiles     ? StructureText::Smiles
                               : format == Format::MolBlock ? StructureText::MolBlock
                                                            : StructureText::Guess;
    if (const Status parsed = readRdkitMolecule(text, kind, mol, &fromSmiles); !parsed.ok())
        return parsed;
    const unsigned heavyAtoms = mol->getNumHeavyAtoms();
    auto data = std::make_shared<Data>();
    try {
        if (lacksDrawingCoordinates(*mol))
            RDDepict::compute2DCoords(*mol);
        data->formula = QString::fromStdString(RDKit::Descriptors::calcMolFormula(*mol));
        data->weight = RDKit::Descriptors::calcAMW(*mol);
    } catch (const std::exception& e) {
        return Status::failure(
            QStringLiteral("The structure cannot be laid out or weighed: %1").arg(e.what()));
    } catch (...) {
        return Status::failure(QStringLiteral("The structure cannot be laid out or weighed."));
    }
    // A V2000 block is what we store, so it reads back as itself; anything else is checked.
    if (fromSmiles || text.contains(QLatin1String("V3000"))) {
        const QString stored = formulaAfterStoring(*mol, data->checkedBlock);
        if (stored != data->formula)
            return Status::failure(
                QStringLiteral("The structure cannot be stored as a MOL block without changing "
                               "it: %1 would read back as %2.")
                    .arg(data->formula, stored.isEmpty() ? QStringLiteral("nothing") : stored));
    }
    data->heavyAtoms = int(heavyAtoms);
    data->mol = std::move(mol);
    out.data_ = std::move(data);
    return {};
}

QString Molecule::molBlock() const
{
    if (!data_)
        return {};
    if (!data_->checkedBlock.isEmpty())
        return data_->checkedBlock;
    std::lock_guard guard(data_->lock);
    try {
        return QString::fromStdString(RDKit::MolToMolBlock(*data_->mol));
    } catch (...) {
        return {};
    }
}

QString Molecule::smiles() const
{
    if (!data_)
        return {};
    std::lock_guard guard(data_->lock);
    return writeSmiles(*data_->mol, true);
}

QString Molecule::smilesInAtomOrder(const QString& text)
{
    std::unique_ptr<RDKit::RWMol> mol;
    if (!readRdkitMolecule(text, StructureText::Guess, mol).ok())
        return {};
    return writeSmiles(*mol, false);
}

QString Molecule::formula() const
{
    return data_ ? data_->formula : QString();
}

double Molecule::averageWeight() const
{
    return data_ ? data_->weight : 0;
}

QString Molecule::weightText() const
{
    return data_ ? weightWithTwoDecimals(data_->weight) : QString();
}

int Molecule::heavyAtomCount() const
{
    return data_ ? data_->heavyAtoms : 0;
}

QByteArray Molecule::svg(const QSizeF& size) const
{
    const QSize pixels = size.toSize().boundedTo(QSize(8192, 8192));
    if (!data_ || pixels.isEmpty())
        return {};
    std::lock_guard guard(data_->lock);
    if (pixels == data_->svgSize)
        return data_->svg;
    try {
        RDKit::MolDraw2DSVG drawer(pixels.width(), pixels.height());
        drawer.drawOptions().clearBackground = false;
        drawer.drawMolecule(*data_->mol);
        drawer.finishDrawing();
        data_->svg = QByteArray::fromStdString(drawer.getDrawingText());
    } catch (...) {
        data_->svg.clear();
    }
    data_->svgSize = pixels;
    return data_->svg;
}

void Molecule::draw(QPainter& painter, const QRectF& box) const
{
    const QByteArray picture = svg(box.size());
    if (picture.isEmpty())
        return;
    QSvgRenderer renderer(picture);
    if (!renderer.isValid())
        return;
    QRectF target(QPointF(),
                  renderer.defaultSize().toSizeF().scaled(box.size(), Qt::KeepAspectRatio));
    target.moveCenter(box.center());
    renderer.render(&painter, target);
}
