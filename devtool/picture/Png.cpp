// The picture, packed two bits a pixel, handed to the platform's PNG encoder
// over a stream in memory.
#include "Png.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>

using Microsoft::WRL::ComPtr;

namespace {
// COM for the calls of one function, on whichever thread they run.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

private:
    HRESULT result_;
};

std::string Encode(const GreyFrame& frame)
{
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> image;
    ComPtr<IWICPalette> palette;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&image, nullptr)) || FAILED(image->Initialize(nullptr)) ||
        FAILED(image->SetSize(frame.width, frame.height)))
        return {};
    // The encoder names the format it will write; the pixels below are packed
    // for this one only.
    WICPixelFormatGUID format = GUID_WICPixelFormat2bppIndexed;
    if (FAILED(image->SetPixelFormat(&format)) || format != GUID_WICPixelFormat2bppIndexed) return {};
    WICColor colours[4];
    for (int i = 0; i < 4; ++i)
        colours[i] = 0xFF000000u | GreyLevelValues[i] * 0x010101u;
    if (FAILED(factory->CreatePalette(&palette)) || FAILED(palette->InitializeCustom(colours, 4)) ||
        FAILED(image->SetPalette(palette.Get())))
        return {};

    // Four pixels a byte, the leftmost in the high bits; rows start on bytes.
    const UINT stride = (frame.width + 3) / 4;
    std::string packed(static_cast<size_t>(stride) * frame.height, '\0');
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const unsigned level = std::min<unsigned>(frame.levels[static_cast<size_t>(y) * frame.width + x], 3);
            packed[y * stride + x / 4] = static_cast<char>(packed[y * stride + x / 4] | level << (6 - 2 * (x % 4)));
        }
    if (FAILED(image->WritePixels(frame.height, stride, static_cast<UINT>(packed.size()),
                                  reinterpret_cast<BYTE*>(packed.data()))) ||
        FAILED(image->Commit()) || FAILED(encoder->Commit()))
        return {};

    STATSTG stat = {};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream.Get(), &memory)))
        return {};
    const void* bytes = GlobalLock(memory);
    if (!bytes) return {};
    std::string file(static_cast<const char*>(bytes), static_cast<size_t>(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
    return file;
}
}

std::string PngFileBytes(const GreyFrame& frame)
{
    const ComScope com;
    return Encode(frame);
}
