#include "shellopen.h"

#include <QString>
#include <QWidget>

#include <windows.h>

#include <shellapi.h>

void ShellOpen::open(QWidget *owner, const QString &link)
{
    // The shell's dialogs (no mail program, say) belong to the window that asked.
    const HWND window = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    ShellExecuteW(window, L"open", reinterpret_cast<LPCWSTR>(link.utf16()), L"", L"",
                  SW_SHOWNORMAL);
}
