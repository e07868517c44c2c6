#pragma once

#include <QString>

// The access key a button caption gives, in lower case, or an empty string for none.
// Only the first two "&" are looked at, so "&&&&x" gives none.
QString AccessKeyFromCaption(const QString& caption);

// The caption as the face shows it: each access key's & left out, "&&" one &.
QString CaptionWithoutMarks(const QString& caption);
