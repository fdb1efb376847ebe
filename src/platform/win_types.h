#pragma once
// The small vocabulary of the Windows platform that Kartora's windows were
// designed against: message parameters, message-box button sets and results,
// help commands. Values are those of the original constants, because callers
// compare results with them.

#include <cstdint>

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

/// First message number free for a program's own window messages.
constexpr UINT WM_USER = 0x0400;

// Message-box button sets.
constexpr UINT MB_OK = 0;
constexpr UINT MB_OKCANCEL = 1;
constexpr UINT MB_YESNOCANCEL = 3;
constexpr UINT MB_YESNO = 4;
/// The error sound of MessageBeep.
constexpr UINT MB_ICONHAND = 0x10;

// Dialog results and the ids of the standard buttons.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Help commands.
constexpr UINT HELP_CONTEXT = 0x0001; ///< show the topic with the given context number
constexpr UINT HELP_QUIT = 0x0002;    ///< close the help window
constexpr UINT HELP_FINDER = 0x000B;  ///< show the help file's contents page
