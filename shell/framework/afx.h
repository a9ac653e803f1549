#pragma once
// A thin application framework of our own, shaped like the parts of MFC
// this program uses: application, single-document template, document,
// frame, form view, modal dialog, dialog data exchange, settings.

#include <windows.h>

#include <string>

class CWinApp;

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// A string of the program's string table ("" when there is none).
std::string AfxLoadString(UINT id);

// A modal box with an OK button, captioned with the application title,
// owned by the main window; `text` is UTF-8.
int AfxMessageBox(const std::string& text);
