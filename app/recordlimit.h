#pragma once

// The most records Flaskbook keeps in its database.
inline constexpr int kRecordLimit = 1000000;
