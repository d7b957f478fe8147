#include "FileDrop.h"

#include <shellapi.h>

#include <cwchar>

namespace {
FORMATETC FileList() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool CarriesFiles(IDataObject* data)
{
    FORMATETC format = FileList();
    return data && data->QueryGetData(&format) == S_OK;
}

// The first path of the list; the empty text when the list is empty.
std::wstring FirstFile(HDROP files)
{
    if (DragQueryFileW(files, 0xFFFFFFFF, nullptr, 0) == 0) return {};
    std::wstring path(DragQueryFileW(files, 0, nullptr, 0) + 1, L'\0');
    DragQueryFileW(files, 0, path.data(), static_cast<UINT>(path.size()));
    path.resize(std::wcslen(path.c_str()));
    return path;
}
}  // namespace

FileDropTarget::FileDropTarget(std::function<void(const std::wstring&)> onDrop)
    : onDrop_(std::move(onDrop))
{
}

FileDropTarget::~FileDropTarget() { Revoke(); }

bool FileDropTarget::Register(HWND window)
{
    if (RegisterDragDrop(window, this) != S_OK) return false;
    window_ = window;
    return true;
}

void FileDropTarget::Revoke()
{
    if (window_) RevokeDragDrop(window_);
    window_ = nullptr;
}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() { return InterlockedIncrement(&references_); }

ULONG FileDropTarget::Release() { return InterlockedDecrement(&references_); }

// The file is only named, never taken: copy or link, and never move, which
// would let the source delete the file once we accept it.
DWORD FileDropTarget::EffectFor(DWORD allowed) const
{
    if (!carriesFiles_) return DROPEFFECT_NONE;
    if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    carriesFiles_ = CarriesFiles(data);
    *effect = EffectFor(*effect);
    return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect)
{
    *effect = EffectFor(*effect);
    return S_OK;
}

HRESULT FileDropTarget::DragLeave()
{
    carriesFiles_ = false;
    return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    carriesFiles_ = CarriesFiles(data);
    *effect = EffectFor(*effect);
    std::wstring first;
    FORMATETC format = FileList();
    STGMEDIUM medium = {};
    if (*effect != DROPEFFECT_NONE && data->GetData(&format, &medium) == S_OK) {
        if (medium.tymed == TYMED_HGLOBAL) first = FirstFile(static_cast<HDROP>(medium.hGlobal));
        ReleaseStgMedium(&medium);
    }
    carriesFiles_ = false;
    if (first.empty()) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    onDrop_(first);
    return S_OK;
}
