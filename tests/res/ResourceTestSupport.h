#pragma once
// Owning handles and small window helpers shared by the resource tests.
#include <windows.h>

#include "win/WinTestSupport.h"

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace restest {

struct WindowCloser {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDeleter>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

struct ModuleFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

// Selects an object into a DC for the life of the scope.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// Pixels are read on the window tests' canvas.
using wintest::Canvas;

// Creates a dialog from one of the program's templates with a dialog procedure that does
// nothing, so what shows is the template alone.
UniqueWindow CreateTemplateDialog(int templateId, HWND parent);

// A plain visible or hidden top-level window to host a page template.
UniqueWindow CreateHostWindow(int clientWidth, int clientHeight, bool visible);

// Handles pending messages of this thread.
void PumpMessages();

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// The children of `parent` in creation (template) order.
std::vector<HWND> Children(HWND parent);

// Where the build keeps images for people to look at (<build>/artifacts).
std::wstring ArtifactPath(const std::wstring& fileName);

} // namespace restest
