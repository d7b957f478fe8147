#pragma once
// Files dropped from other programs onto one window, by OLE drag and drop.
// Only data that carries a file list is taken; anything else (dragged text,
// say) is refused while it is dragged over the window and ignored if dropped.
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>

// A COM interface has no virtual destructor: its objects end by Release, never
// by delete through the interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FileDropTarget : public IDropTarget {
public:
    // `onDrop` receives the first file of every list dropped on the window.
    explicit FileDropTarget(std::function<void(const std::wstring&)> onDrop);
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;
    virtual ~FileDropTarget();

    bool Register(HWND window);
    // Before the window is destroyed.
    void Revoke();

    // The object belongs to its window's form, not to its references: the
    // count only answers COM's bookkeeping and never deletes it.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    DWORD EffectFor(DWORD allowed) const;

    std::function<void(const std::wstring&)> onDrop_;
    HWND window_ = nullptr;
    bool carriesFiles_ = false;
    LONG references_ = 0;
};
#pragma GCC diagnostic pop
