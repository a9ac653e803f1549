#pragma once
// The framework's standard command and string ids, as the resources use
// them (res/resource.h gives the same numbers to the resource compiler).

#include <windows.h>

constexpr UINT AFX_IDS_APP_TITLE = 57344;
constexpr UINT ID_FILE_NEW = 57600;
constexpr UINT ID_FILE_OPEN = 57601;
constexpr UINT ID_FILE_SAVE = 57603;
constexpr UINT ID_APP_EXIT = 57665;
