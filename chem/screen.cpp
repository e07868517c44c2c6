#include "chem/screen.h"

#include "chem/substructure.h"

#include <GraphMol/ROMol.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Chains of up to five bonds, rings of up to six atoms.
constexpr int kLongestChain = 5;
constexpr int kScreenBits = kScreenBytes * 8;

bool isPlain(const RDKit::Atom* atom)
{
    return !atom->hasQuery() && atom->getAtomicNum() > 0;
}

bool isPlain(const RDKit::Bond* bond)
{
    return !bond->hasQuery() && bond->getBondType() != RDKit::Bond::UNSPECIFIED &&
           bond->getBondType() != RDKit::Bond::ZERO;
}

std::uint64_t mix(std::uint64_t hash, int value)
{
    return (hash ^ std::uint64_t(value + 0x9e37)) * 1099511628211ULL;
}

// Walks every chain of plain atoms and bonds from each atom, setting a bit per chain and per
// ring closed by the chain's last atom.
class ScreenWalk {
public:
    explicit ScreenWalk(const RDKit::ROMol& mol)
        : mol_(mol), used_(mol.getNumAtoms(), false), screen_(kScreenBytes, '\0')
    {
    }

    QByteArray run()
    {
        for (const RDKit::Atom* atom : mol_.atoms()) {
            if (!isPlain(atom))
                continue;
            start_ = atom;
            chain_ = {atom->getAtomicNum()};
            used_[atom->getIdx()] = true;
            walk(atom, 0);
            used_[atom->getIdx()] = false;
        }
        return screen_;
    }

private:
    void walk(const RDKit::Atom* atom, int bonds)
    {
        setChainBit();
        if (bonds >= 2) {
            const RDKit::Bond* closing = mol_.getBondBetweenAtoms(atom->getIdx(), start_->getIdx());
            if (closing && isPlain(closing))
                setRingBit(closing);
        }
        if (bonds == kLongestChain)
            return;
        for (const RDKit::Bond* bond : mol_.atomBonds(atom)) {
            const RDKit::Atom* next = bond->getOtherAtom(atom);
            if (used_[next->getIdx()] || !isPlain(bond) || !isPlain(next))
                continue;
            used_[next->getIdx()] = true;
            chain_.push_back(-int(bond->getBondType()));
            chain_.push_back(next->getAtomicNum());
            walk(next, bonds + 1);
            chain_.resize(chain_.size() - 2);
            used_[next->getIdx()] = false;
        }
    }

    void setBit(std::uint64_t hash)
    {
        const int bit = int(hash % kScreenBits);
        screen_[bit / 8] = char(uchar(screen_[bit / 8]) | (1u << (bit % 8)));
    }

    // A chain reads the same from either end.
    void setChainBit()
    {
        const bool backwards = std::lexicographical_compare(chain_.rbegin(), chain_.rend(),
                                                            chain_.begin(), chain_.end());
        std::uint64_t hash = 1469598103934665603ULL;
        if (backwards)
            for (auto it = chain_.rbegin(); it != chain_.rend(); ++it)
                hash = mix(hash, *it);
        else
            for (const int value : chain_)
                hash = mix(hash, value);
        setBit(hash);
    }

    // A ring, from whichever atom and in whichever direction it was walked: its size and the
    // sorted elements and bond types.
    void setRingBit(const RDKit::Bond* closing)
    {
        std::vector<int> parts = chain_;
        parts.push_back(-int(closing->getBondType()));
        std::sort(parts.begin(), parts.end());
        std::uint64_t hash = mix(0xcbf29ce484222325ULL, int(parts.size()));
        for (const int value : parts)
            hash = mix(hash, value);
        setBit(hash);
    }

    const RDKit::ROMol& mol_;
    std::vector<bool> used_;
    QByteArray screen_;
    const RDKit::Atom* start_ = nullptr;
    // Elements and negated bond types, alternating, from the start atom.
    std::vector<int> chain_;
};

} // namespace

QByteArray moleculeScreen(const RDKit::ROMol& mol)
{
    for (const RDKit::Atom* atom : mol.atoms())
        if (!isPlain(atom))
            return QByteArray(kScreenBytes, '\xff');
    for (const RDKit::Bond* bond : mol.bonds())
        if (!isPlain(bond))
            return QByteArray(kScreenBytes, '\xff');
    return ScreenWalk(mol).run();
}

QByteArray patternScreen(const RDKit::ROMol& pattern)
{
    return ScreenWalk(pattern).run();
}
