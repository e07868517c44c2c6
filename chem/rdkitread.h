#pragma once

// Inside chem/ only: the RDKit molecule behind a structure text, for the modules that need
// more of it than Molecule shows.

#include "core/status.h"

#include <GraphMol/RWMol.h>

#include <QString>

#include <memory>

enum class StructureText { Guess, Smiles, MolBlock };

// Reads SMILES or a MOL block with every check Molecule::fromText makes on the way in; the
// message of a failure says what could not be read. `fromSmiles` tells which it was.
Status readRdkitMolecule(const QString& text, StructureText kind,
                         std::unique_ptr<RDKit::RWMol>& mol, bool* fromSmiles = nullptr);
