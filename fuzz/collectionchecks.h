#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// The body of the collection fuzz target, shared with the test that replays the kept inputs.
// Needs no application object.

// Reads the input as an SD, SMILES, CSV and TSV file in turn, every record to the end. Records
// must be numbered increasingly, name only items the reader lists, and keep within the field
// limit unless their fault says otherwise. Returns the faults met, for the fuzzer to tell apart.
QByteArray checkCollection(const uint8_t* data, size_t size);
