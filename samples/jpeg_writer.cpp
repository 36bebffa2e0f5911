#include "jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// clang-format off
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
// clang-format on

namespace quorvela::samples {

namespace {

// libjpeg's default error_exit ends the process; this one jumps back to the encoder.
struct ErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->Jump, 1);
}

void OutputMessage(j_common_ptr /*info*/) {}

// Encodes into a buffer libjpeg allocates; nothing in this frame needs a destructor, as a
// longjmp may leave it. Returns false on failure.
bool Encode(int width, int height, const std::uint8_t* rgb, const std::uint8_t* app1, unsigned app1Size, int quality,
            unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct info;
    ErrorManager errors;
    std::memset(&errors, 0, sizeof errors);
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.output_message = OutputMessage;
    if (setjmp(errors.Jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // No JFIF APP0: the EXIF segment comes first, as cameras write it.
    info.write_JFIF_header = FALSE;
    jpeg_start_compress(&info, TRUE);
    if (app1Size > 0) jpeg_write_marker(&info, JPEG_APP0 + 1, app1, app1Size);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<std::size_t>(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(int width, int height, std::span<const std::uint8_t> rgb,
                                     std::span<const std::uint8_t> app1, int quality) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<std::size_t>(width) * height * 3 || app1.size() > 65533) {
        return {};
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok =
        Encode(width, height, rgb.data(), app1.data(), static_cast<unsigned>(app1.size()), quality, &buffer, &size);
    std::vector<std::uint8_t> bytes;
    if (ok && buffer != nullptr) bytes.assign(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

}  // namespace quorvela::samples
