#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

// The bodies of the fuzz targets, shared with the test that replays the kept inputs.
// Each takes one input and aborts the process when the code under test misbehaves.
// All need a QApplication.

// Loads the input as the picture file a record names, as the window does. Returns a short
// description of the outcome (format, size class, reason), for the fuzzer to tell apart.
QByteArray checkPictureFile(const uint8_t* data, size_t size);

// Reads the input as a painted button's saved settings, restores a button from them and
// paints it.
void checkButtonSettings(const uint8_t* data, size_t size);

// Reads the input as the text of a structure (SMILES or MOL block). A molecule that is read
// must survive its own stored MOL block and is drawn. Returns the outcome with its numbers
// left out, for the fuzzer to tell apart.
QByteArray checkStructure(const uint8_t* data, size_t size);

// Starts the offscreen application every target needs; Qt sees only the program's name, so
// the fuzzer's own options stay the fuzzer's. `messages` sees every Qt message.
void startFuzzApplication(char* programName, QtMessageHandler messages);
// Ends the process on a fatal Qt message, the one kind that is a finding; others pass.
void abortOnFatalMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);
