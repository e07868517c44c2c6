#!/usr/bin/python3
"""Draw the structure pictures for the shipped chemicals.

Reads chemicals.tsv (next to this script) and writes one 400x400 GIF per
row to structures/<Image>, drawn from the row's SMILES with RDKit.

    /usr/bin/python3 data/make_structures.py

Needs RDKit and Pillow (Debian: python3-rdkit, python3-pil). The GIFs are
committed to the repository, so building the program does not need RDKit;
rerun this only after changing a SMILES or adding a chemical. The output
is the same on every run, so unchanged pictures show no diff.
"""

import csv
import os
import sys

from PIL import Image, ImageOps
from rdkit import Chem
from rdkit.Chem import Draw, rdDepictor

SIZE = 400
HERE = os.path.dirname(os.path.abspath(__file__))
TSV = os.path.join(HERE, "chemicals.tsv")
OUT = os.path.join(HERE, "structures")

# Layout distances, in depiction units (a bond is 1.5 units long).
LABEL_ROOM = 0.8
GAP = 0.9
ROW_GAP = 1.5
WATERS_PER_ROW = 3


def is_water(frag):
    return frag.GetNumAtoms() == 1 and frag.GetAtomWithIdx(0).GetSymbol() == "O" \
        and frag.GetAtomWithIdx(0).GetFormalCharge() == 0


def arrange(mol):
    """Lay out each fragment on its own, then set the fragments side by side.

    Ions of a salt go left to right in SMILES order; water of
    crystallisation goes in rows underneath.  RDKit's own
    placement packs small ions so tightly that their labels overlap.
    """
    frags = Chem.GetMolFrags(mol, asMols=True, sanitizeFrags=False)
    groups = Chem.GetMolFrags(mol, asMols=False)
    ions, water = [], []
    for frag, atoms in zip(frags, groups):
        rdDepictor.Compute2DCoords(frag)
        (water if is_water(frag) and len(frags) > 1 else ions).append((frag, atoms))
    rows = [ions] + [water[i:i + WATERS_PER_ROW]
                     for i in range(0, len(water), WATERS_PER_ROW)]
    conf = mol.GetConformer(rdDepictor.Compute2DCoords(mol))
    y = 0.0
    for row in rows:
        if not row:
            continue
        boxes = []
        for frag, atoms in row:
            pts = frag.GetConformer().GetPositions()
            boxes.append((pts[:, 0].min(), pts[:, 0].max(),
                          pts[:, 1].min(), pts[:, 1].max()))
        # Extra room on both sides of every fragment for atom labels.
        widths = [b[1] - b[0] + LABEL_ROOM for b in boxes]
        x = -(sum(widths) + GAP * (len(row) - 1)) / 2
        bottom = y
        for (frag, atoms), box, w in zip(row, boxes, widths):
            dx = x + w / 2 - (box[0] + box[1]) / 2
            dy = y - (box[2] + box[3]) / 2
            fconf = frag.GetConformer()
            for i, a in enumerate(atoms):
                pos = fconf.GetAtomPosition(i)
                conf.SetAtomPosition(a, (pos.x + dx, pos.y + dy, 0.0))
            bottom = min(bottom, y - (box[3] - box[2]) / 2)
            x += w + GAP
        y = bottom - ROW_GAP


def draw(smiles):
    mol = Chem.MolFromSmiles(smiles)
    if mol is None:
        raise ValueError("cannot parse SMILES %r" % smiles)
    # RDKit gives bare transition-metal ions (Cu2+, Mn in MnO4-) unpaired
    # electrons, which would be drawn as radical dots.
    for atom in mol.GetAtoms():
        atom.SetNumRadicalElectrons(0)
    arrange(mol)
    opts = Draw.MolDrawOptions()
    opts.bondLineWidth = 2
    opts.minFontSize = 14
    opts.padding = 0.05
    # Same bond length for every picture, so that water or HCl is not
    # blown up to fill the frame; large molecules shrink to fit.
    opts.fixedBondLength = 55
    opts.setBackgroundColour((1, 1, 1, 1))
    img = Draw.MolToImage(mol, size=(SIZE, SIZE), options=opts)
    rgba = img.convert("RGBA")
    drawn = Image.new("RGB", img.size, "white")
    drawn.paste(rgba, mask=rgba)
    # RDKit does not centre a drawing made with a fixed bond length, so
    # cut out the inked area and centre it on a fresh canvas.
    inked = ImageOps.invert(drawn.convert("L")).getbbox()
    pic = Image.new("RGB", (SIZE, SIZE), "white")
    if inked:
        part = drawn.crop(inked)
        pic.paste(part, ((SIZE - part.width) // 2, (SIZE - part.height) // 2))
    # Median-cut palette without dithering: keeps the anti-aliased edges
    # smooth and gives identical bytes for identical input.
    return pic.quantize(colors=64, method=Image.Quantize.MEDIANCUT,
                        dither=Image.Dither.NONE)


def main():
    # RDKit's own depictor, not CoordGen: CoordGen squeezes the oxo
    # groups of sulfate, permanganate and dichromate into a tangle.
    rdDepictor.SetPreferCoordGen(False)
    os.makedirs(OUT, exist_ok=True)
    with open(TSV, encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f, delimiter="\t",
                                   quoting=csv.QUOTE_NONE))
    for row in rows:
        name = row["Image"]
        try:
            pic = draw(row["SMILES"])
        except ValueError as e:
            sys.exit("%s: %s" % (row["Name"], e))
        pic.save(os.path.join(OUT, name), format="GIF", optimize=False)
        print(name)
    print("%d pictures written to %s" % (len(rows), OUT))


if __name__ == "__main__":
    main()
