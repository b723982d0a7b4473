#include "imaging/wic_win.h"

#include <windows.h>
#include <propidl.h>
#include <wincodec.h>

#include <cstdio>
#include <limits>

#include "base/error.h"
#include "base/handles_win.h"

namespace velmaro::imaging {

namespace {

void check(HRESULT hr) {
    if (FAILED(hr)) {
        char text[64];
        std::snprintf(text, sizeof text, "Cannot decode picture (error %08lX)",
                      static_cast<unsigned long>(hr));
        throw InvalidGraphic(text);
    }
}

// One file opened by the component: its decoder and first frame.
struct Frame {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
};

Frame open_first_frame(std::span<const std::uint8_t> file) {
    if (file.size() > std::numeric_limits<DWORD>::max())
        throw InvalidGraphic("Picture file too large");
    Frame f;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           reinterpret_cast<void**>(f.factory.put())));
    check(f.factory->CreateStream(f.stream.put()));
    // The stream only reads the bytes, which outlive it.
    check(f.stream->InitializeFromMemory(const_cast<BYTE*>(file.data()), static_cast<DWORD>(file.size())));
    check(f.factory->CreateDecoderFromStream(f.stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                             f.decoder.put()));
    check(f.decoder->GetFrame(0, f.frame.put()));
    return f;
}

// The Exif orientation from the frame's metadata: the name every format's reader knows
// on current systems, then the TIFF tag itself; 1 when neither says otherwise.
int orientation_of(IWICBitmapFrameDecode* frame) {
    ComPtr<IWICMetadataQueryReader> reader;
    if (FAILED(frame->GetMetadataQueryReader(reader.put())) || !reader)
        return 1;
    for (const wchar_t* name : {L"System.Photo.Orientation", L"/ifd/{ushort=274}"}) {
        PROPVARIANT value;
        PropVariantInit(&value);
        int found = 0;
        if (SUCCEEDED(reader->GetMetadataByName(name, &value)) && value.vt == VT_UI2)
            found = value.uiVal;
        PropVariantClear(&value);
        if (found >= 1 && found <= 8)
            return found;
    }
    return 1;
}

// A TIFF's orientation is read by our own directory reader (exif.h) instead: the
// component's metadata query follows a directory chain that loops into a crash.
bool is_tiff_container(IWICBitmapDecoder* decoder) {
    GUID format{};
    return SUCCEEDED(decoder->GetContainerFormat(&format)) && IsEqualGUID(format, GUID_ContainerFormatTiff);
}

CodecHeader header_of(const Frame& f) {
    UINT w = 0, h = 0;
    check(f.frame->GetSize(&w, &h));
    constexpr UINT kMaxSide = static_cast<UINT>(std::numeric_limits<int>::max());
    if (w > kMaxSide || h > kMaxSide)
        throw InvalidGraphic("Picture too large");
    const int orientation = is_tiff_container(f.decoder.get()) ? 1 : orientation_of(f.frame.get());
    return {static_cast<int>(w), static_cast<int>(h), orientation};
}

// The frame converted to 32-bit BGRA: a conversion straight to 24 bits is not offered
// from every source, and the alpha is wanted anyway.
Pixels copy_bgra(const Frame& f, const CodecHeader& h) {
    ComPtr<IWICFormatConverter> converter;
    check(f.factory->CreateFormatConverter(converter.put()));
    check(converter->Initialize(f.frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                0.0, WICBitmapPaletteTypeCustom));
    Pixels px;
    px.width = h.width;
    px.height = h.height;
    px.bgra.resize(std::size_t{4} * h.width * h.height);
    const std::size_t stride = std::size_t{4} * h.width;
    if (stride > std::numeric_limits<UINT>::max() || px.bgra.size() > std::numeric_limits<UINT>::max())
        throw InvalidGraphic("Picture too large");
    check(converter->CopyPixels(nullptr, static_cast<UINT>(stride), static_cast<UINT>(px.bgra.size()),
                                px.bgra.data()));
    return px;
}

class WicCodec : public SystemCodec {
  public:
    CodecHeader read_header(std::span<const std::uint8_t> file) const override {
        const Frame f = open_first_frame(file);
        return header_of(f);
    }

    Pixels decode(std::span<const std::uint8_t> file, const HeaderCheck& check_header) const override {
        const Frame f = open_first_frame(file);
        const CodecHeader h = header_of(f);
        if (check_header)
            check_header(h);
        return copy_bgra(f, h);
    }
};

} // namespace

std::unique_ptr<SystemCodec> make_wic_codec() {
    return std::make_unique<WicCodec>();
}

} // namespace velmaro::imaging
