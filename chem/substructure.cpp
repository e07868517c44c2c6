#include "chem/substructure.h"

#include "chem/rdkitread.h"
#include "chem/screen.h"

#include <GraphMol/MolOps.h>
#include <GraphMol/MolPickler.h>
#include <GraphMol/SmilesParse/SmilesParse.h>
#include <GraphMol/SmilesParse/SmilesWrite.h>
#include <GraphMol/Substruct/SubstructMatch.h>

#include <cstdint>
#include <cstring>

struct SubstructureQuery::Data {
    Mode mode = Mode::Substructure;
    std::unique_ptr<RDKit::ROMol> pattern;
    QString smiles;
    QByteArray fingerprint;
};

namespace {

// A SMARTS pattern comes without ring information, which the fingerprint and ring queries need.
void prepareQuery(RDKit::ROMol& pattern)
{
    pattern.updatePropertyCache(false);
    if (!pattern.getRingInfo()->isInitialized())
        RDKit::MolOps::fastFindRings(pattern);
}

Status readSmarts(const QString& text, std::unique_ptr<RDKit::ROMol>& pattern)
{
    try {
        pattern.reset(RDKit::SmartsToMol(text.trimmed().toStdString()));
    } catch (...) {
        pattern.reset();
    }
    if (!pattern || pattern->getNumAtoms() == 0)
        return Status::failure(QStringLiteral("The text cannot be read as SMARTS."));
    return {};
}

// SMARTS is one line of printable text.
bool isSingleLineOfText(const QString& text)
{
    const QString line = text.trimmed();
    if (line.isEmpty())
        return false;
    for (const QChar c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

bool matchesMolecule(const RDKit::ROMol& mol, const SubstructureQuery::Data& query)
{
    if (query.mode == SubstructureQuery::Mode::Exact)
        return QString::fromStdString(RDKit::MolToSmiles(mol)) == query.smiles;
    RDKit::MatchVectType match;
    return RDKit::SubstructMatch(mol, *query.pattern, match, /*recursionPossible=*/true,
                                 /*useChirality=*/false);
}

} // namespace

Status indexStructure(const QString& structureText, IndexedStructure& out)
{
    out = IndexedStructure();
    std::unique_ptr<RDKit::RWMol> mol;
    if (Status s = readRdkitMolecule(structureText, StructureText::Guess, mol); !s.ok())
        return s;
    try {
        out.fingerprint = moleculeScreen(*mol);
        // Coordinates are for drawing; the match needs the graph only, read back faster without.
        mol->clearConformers();
        std::string pickle;
        RDKit::MolPickler::pickleMol(*mol, pickle, RDKit::PicklerOps::NoProps);
        out.pickle = QByteArray(pickle.data(), qsizetype(pickle.size()));
        return {};
    } catch (const std::exception& e) {
        out = IndexedStructure();
        return Status::failure(QStringLiteral("The structure cannot be indexed: %1").arg(e.what()));
    } catch (...) {
        out = IndexedStructure();
        return Status::failure(QStringLiteral("The structure cannot be indexed."));
    }
}

bool passesScreen(const char* query, const char* molecule)
{
    for (int i = 0; i < kScreenBytes; i += 8) {
        std::uint64_t q, m;
        std::memcpy(&q, query + i, 8);
        std::memcpy(&m, molecule + i, 8);
        if ((q & m) != q)
            return false;
    }
    return true;
}

Status SubstructureQuery::parse(const QString& text, Mode mode, SubstructureQuery& out)
{
    out = SubstructureQuery();
    auto data = std::make_shared<Data>();
    data->mode = mode;
    std::unique_ptr<RDKit::RWMol> mol;
    const Status asMolecule = readRdkitMolecule(text, StructureText::Guess, mol);
    try {
        if (asMolecule.ok()) {
            data->smiles = QString::fromStdString(RDKit::MolToSmiles(*mol));
            // The parser takes [N+] for a radical; as a pattern it means any such cation.
            if (mode == Mode::Substructure)
                for (RDKit::Atom* atom : mol->atoms())
                    atom->setNumRadicalElectrons(0);
            data->pattern = std::move(mol);
        } else if (mode == Mode::Exact || !isSingleLineOfText(text)) {
            return asMolecule;
        } else if (!readSmarts(text, data->pattern).ok()) {
            return Status::failure(asMolecule.message() +
                                   QStringLiteral(" Nor can it be read as SMARTS."));
        }
        prepareQuery(*data->pattern);
        data->fingerprint = patternScreen(*data->pattern);
    } catch (const std::exception& e) {
        return Status::failure(QStringLiteral("The query cannot be used: %1").arg(e.what()));
    } catch (...) {
        return Status::failure(QStringLiteral("The query cannot be used."));
    }
    out.data_ = std::move(data);
    return {};
}

SubstructureQuery::Mode SubstructureQuery::mode() const
{
    return data_ ? data_->mode : Mode::Substructure;
}

const QByteArray& SubstructureQuery::fingerprint() const
{
    static const QByteArray none;
    return data_ ? data_->fingerprint : none;
}

bool SubstructureQuery::matchesIndexed(const QByteArray& pickle) const
{
    if (!data_ || pickle.isEmpty())
        return false;
    try {
        RDKit::ROMol mol;
        RDKit::MolPickler::molFromPickle(std::string(pickle.constData(), size_t(pickle.size())),
                                         mol, RDKit::PicklerOps::NoProps);
        if (!mol.getRingInfo()->isInitialized())
            RDKit::MolOps::findSSSR(mol);
        return matchesMolecule(mol, *data_);
    } catch (...) {
        return false;
    }
}

bool SubstructureQuery::matchesText(const QString& structureText) const
{
    if (!data_)
        return false;
    std::unique_ptr<RDKit::RWMol> mol;
    if (!readRdkitMolecule(structureText, StructureText::Guess, mol).ok())
        return false;
    try {
        return matchesMolecule(*mol, *data_);
    } catch (...) {
        return false;
    }
}
