#pragma once

// The program's version, set once by project() in the top CMakeLists.txt.
inline constexpr char kFlaskbookVersion[] = FLASKBOOK_VERSION;
