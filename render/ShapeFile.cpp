#include "render/ShapeFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

// libjpeg's headers expect the standard definitions first.
#include <jerror.h>
#include <jpeglib.h>

#include "host/PITypes.h"
#include "render/RegularFile.h"

namespace veyra {

namespace {

// A buffer's sides are 32-bit signed; whether its bytes fit the host's
// memory is the host's to say.
bool sizeAccepted(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX;
}

// Deflate packs at most 1032 bytes into one, so a PNG whose whole file is
// smaller than its filtered rows (one filter byte and width samples each)
// over 1032 cannot hold its picture: it is cut short, and a header that
// claims gigapixels in a few bytes gets no buffer.
bool pngCanHold(size_t fileSize, uint64_t width, uint64_t height) {
  return uint64_t{fileSize} * 1032 >= (width + 1) * height;
}

// Every complete Huffman-coded JPEG spends at least one bit on each 8 x 8
// block of its first scan. A file shorter than that cannot hold its picture:
// the decoder would make up nearly all of it at the full cost of the size
// claimed (a 138-byte file claiming 8191 x 8191 took 200 MB and seconds).
// Damaged files that keep a fair part of their data still decode.
bool jpegCanHold(size_t fileSize, uint64_t width, uint64_t height) {
  const uint64_t blocks = ((width + 7) / 8) * ((height + 7) / 8);
  return blocks <= uint64_t{fileSize} * 8;
}

// The file bytes and the read position, shared with the decoders' input
// callbacks.
struct MemorySource {
  const uint8_t* data;
  size_t size;
  size_t position;
};

// ---------------------------------------------------------------------------
// PNG
//
// libpng reports errors by longjmp to the point set in decodePng. The frames
// a longjmp crosses (libpng's own and the callbacks below) hold no object
// with a destructor; the structures are released by PngStructs in the caller,
// which the jump never leaves.

void pngReadData(png_structp png, png_bytep out, png_size_t count) {
  MemorySource* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (count > source->size - source->position) png_error(png, "Read Error");
  std::memcpy(out, source->data + source->position, count);
  source->position += count;
}

// Errors end the read without a message: the system writes no log.
void pngSilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void pngSilentWarning(png_structp, png_const_charp) {}

struct PngStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngStructs() = default;
  PngStructs(const PngStructs&) = delete;
  PngStructs& operator=(const PngStructs&) = delete;
  ~PngStructs() {
    if (png != nullptr) png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
  }
};

// Decodes into *out; false on a refused picture or a decoder error. Nothing
// here outlives a longjmp but plain values; *out belongs to the caller.
bool decodePng(png_structp png, png_infop info, MemorySource* source, HostDocument* document,
               HostBufferRef* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, source, pngReadData);
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  // 8-bit gray only; no transformations are asked for.
  if (colorType != PNG_COLOR_TYPE_GRAY || depth != 8) return false;
  if (!sizeAccepted(width, height) || !pngCanHold(source->size, width, height)) return false;
  *out = document->makeBuffer(static_cast<int32_t>(width), static_cast<int32_t>(height), 1, 1,
                              plugInModeGrayScale);
  for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, (*out)->row(static_cast<int32_t>(y)), nullptr);
  png_read_end(png, nullptr);
  return true;
}

// ---------------------------------------------------------------------------
// JPEG
//
// The same arrangement as for PNG: the error exit jumps back into
// decodeJpeg, and the decompressor is destroyed by JpegDecoder's owner.

struct JpegErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr cinfo) {
  (*cinfo->err->output_message)(cinfo);
  std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// The library's messages are dropped: the system writes no log.
void jpegSilentMessage(j_common_ptr) {}

struct JpegSource {
  jpeg_source_mgr manager;
  MemorySource memory;
};

JpegSource* jpegSource(j_decompress_ptr cinfo) { return reinterpret_cast<JpegSource*>(cinfo->src); }

void jpegInitSource(j_decompress_ptr cinfo) { cinfo->src->bytes_in_buffer = 0; }

// Hands the decoder one byte at a time. Past the end it inserts an end of
// image marker, as the library's own memory source does, so that the decoder
// finishes on whatever it has without reading outside the block.
boolean jpegFillInputBuffer(j_decompress_ptr cinfo) {
  static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
  MemorySource& memory = jpegSource(cinfo)->memory;
  if (memory.position < memory.size) {
    cinfo->src->next_input_byte = memory.data + memory.position;
    cinfo->src->bytes_in_buffer = 1;
    ++memory.position;
  } else {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = 2;
  }
  return TRUE;
}

// Skips count bytes: first those still buffered, then the rest of the block
// from the read position, never beyond its end.
void jpegSkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  size_t n = static_cast<size_t>(count);
  if (n <= src->bytes_in_buffer) {
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
    return;
  }
  n -= src->bytes_in_buffer;
  MemorySource& memory = jpegSource(cinfo)->memory;
  const size_t left = memory.size - memory.position;
  memory.position += n < left ? n : left;
  src->bytes_in_buffer = 0;
}

void jpegTermSource(j_decompress_ptr) {}

// Every structure the decoder touches, in one plain block owned by
// readJpegShape; the decompressor is destroyed by its destructor.
struct JpegDecoder {
  jpeg_decompress_struct cinfo;
  JpegErrorManager error;
  JpegSource source;
  JpegDecoder() {
    std::memset(&cinfo, 0, sizeof cinfo);
    std::memset(&source, 0, sizeof source);
  }
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;
  ~JpegDecoder() { jpeg_destroy_decompress(&cinfo); }  // safe on a never-created decompressor
};

bool decodeJpeg(JpegDecoder* d, HostDocument* document, HostBufferRef* out) {
  j_decompress_ptr cinfo = &d->cinfo;
  cinfo->err = jpeg_std_error(&d->error.manager);
  d->error.manager.error_exit = jpegErrorExit;
  d->error.manager.output_message = jpegSilentMessage;
  if (setjmp(d->error.jump)) return false;
  jpeg_CreateDecompress(cinfo, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
  d->source.manager.init_source = jpegInitSource;
  d->source.manager.fill_input_buffer = jpegFillInputBuffer;
  d->source.manager.skip_input_data = jpegSkipInputData;
  d->source.manager.resync_to_restart = jpeg_resync_to_restart;
  d->source.manager.term_source = jpegTermSource;
  d->source.manager.bytes_in_buffer = 0;
  d->source.manager.next_input_byte = nullptr;
  cinfo->src = &d->source.manager;
  jpeg_read_header(cinfo, TRUE);
  if (cinfo->out_color_space != JCS_GRAYSCALE) return false;
  if (!sizeAccepted(cinfo->image_width, cinfo->image_height)) return false;
  if (!jpegCanHold(d->source.memory.size, cinfo->image_width, cinfo->image_height)) return false;
  *out = document->makeBuffer(static_cast<int32_t>(cinfo->image_width),
                              static_cast<int32_t>(cinfo->image_height), 1, 1, plugInModeGrayScale);
  cinfo->quantize_colors = FALSE;
  jpeg_start_decompress(cinfo);
  // Without scaling the output has the image's size, so every scan line
  // fits a buffer row.
  if (cinfo->output_width != cinfo->image_width || cinfo->output_height != cinfo->image_height ||
      cinfo->output_components != 1)
    return false;
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = (*out)->row(static_cast<int32_t>(cinfo->output_scanline));
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;  // the source never suspends
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

// ---------------------------------------------------------------------------

}  // namespace

HostBufferRef readPngShape(HostDocument& document, const uint8_t* data, size_t size) {
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return HostBufferRef();
  PngStructs structs;
  structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngSilentError, pngSilentWarning);
  if (structs.png == nullptr) return HostBufferRef();
  structs.info = png_create_info_struct(structs.png);
  if (structs.info == nullptr) return HostBufferRef();
  MemorySource source{data, size, 0};
  HostBufferRef result;
  if (!decodePng(structs.png, structs.info, &source, &document, &result)) result.reset();
  return result;
}

HostBufferRef readJpegShape(HostDocument& document, const uint8_t* data, size_t size) {
  auto decoder = std::make_unique<JpegDecoder>();
  decoder->source.memory = MemorySource{data, size, 0};
  HostBufferRef result;
  if (!decodeJpeg(decoder.get(), &document, &result)) result.reset();
  return result;
}

HostBufferRef loadShape(HostDocument& document, const char* path) {
  if (path == nullptr || path[0] == '\0') return HostBufferRef();
  std::vector<uint8_t> bytes;
  if (!readRegularFile(path, bytes) || bytes.empty()) return HostBufferRef();
  HostBufferRef shape = readPngShape(document, bytes.data(), bytes.size());
  if (!shape) shape = readJpegShape(document, bytes.data(), bytes.size());
  return shape;
}

}  // namespace veyra
