// JPEG reading and writing with libjpeg (6b interface). libjpeg reports
// errors through error_exit, which here jumps back to jpegStep's frame; the
// steps touch only plain data.
//
// CMYK: files written with an Adobe marker store each sample as 255 - ink,
// which is already this application's convention (255 = no ink); files
// without that marker store ink amounts and are inverted on load. CMYK files
// are written with the Adobe marker, so their samples go out unchanged.
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "app/DocumentBuilder.h"
#include "app/ImageFile.h"

#include "app/platform/FileSystem.h"

namespace veyra::app {

namespace {

constexpr int kJpegQuality = 95;

struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
  char warning[JMSG_LENGTH_MAX] = {};
};

void jpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// A warning means damaged data (a truncated file only warns and is padded
// with gray by the library), which is refused: the read ends at the first
// one, so that a file whose data ends early is not decoded to its end.
void jpegEmitMessage(j_common_ptr cinfo, int level) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  if (level < 0) {
    (*cinfo->err->format_message)(cinfo, err->warning);
    cinfo->err->num_warnings++;
    std::longjmp(err->jump, 1);
  }
}

bool jpegStep(JpegError& err, const std::function<void()>& step) {
  if (setjmp(err.jump)) return false;
  step();
  return true;
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

struct Decompressor {
  jpeg_decompress_struct cinfo;
  JpegError err;
  Decompressor() {
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpegErrorExit;
    err.mgr.emit_message = jpegEmitMessage;
    jpeg_create_decompress(&cinfo);
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
};

struct Compressor {
  jpeg_compress_struct cinfo;
  JpegError err;
  Compressor() {
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpegErrorExit;
    err.mgr.emit_message = jpegEmitMessage;
    jpeg_create_compress(&cinfo);
  }
  ~Compressor() { jpeg_destroy_compress(&cinfo); }
};

}  // namespace

Document readJpeg(const std::string& path, uint64_t maxPixels) {
  std::unique_ptr<FILE, FileCloser> file(platform::openFile(path, "rb"));
  if (!file) throw ImageError(path + ": cannot open: " + std::strerror(errno));
  Decompressor d;
  jpeg_decompress_struct& cinfo = d.cinfo;
  const auto damaged = [&] {
    return ImageError(path + ": damaged or truncated JPEG file (" +
                      std::string(d.err.message[0] ? d.err.message : d.err.warning) + ")");
  };
  if (!jpegStep(d.err, [&] {
        jpeg_stdio_src(&cinfo, file.get());
        jpeg_read_header(&cinfo, TRUE);
      }))
    throw damaged();

  ColorMode mode;
  switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE: mode = ColorMode::Gray; cinfo.out_color_space = JCS_GRAYSCALE; break;
    case JCS_YCbCr:
    case JCS_RGB: mode = ColorMode::RGB; cinfo.out_color_space = JCS_RGB; break;
    case JCS_CMYK:
    case JCS_YCCK: mode = ColorMode::CMYK; cinfo.out_color_space = JCS_CMYK; break;
    default:
      throw ImageError(path + ": JPEG with " + std::to_string(cinfo.num_components) +
                       " components in an unknown colour space is not supported; " + kSupportedImages);
  }
  if (cinfo.image_width > static_cast<JDIMENSION>(kMaxDocumentSide) ||
      cinfo.image_height > static_cast<JDIMENSION>(kMaxDocumentSide))
    throw ImageError(path + ": the image is " + std::to_string(cinfo.image_width) + " x " +
                     std::to_string(cinfo.image_height) + " pixels; at most " + std::to_string(kMaxDocumentSide) +
                     " pixels on a side are supported");
  checkPixelLimit(path, cinfo.image_width, cinfo.image_height, maxPixels);

  DocumentBuilder builder(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height), mode, false);
  const bool invertInk = mode == ColorMode::CMYK && !cinfo.saw_Adobe_marker;
  const int channels = channelCountOf(mode);
  std::vector<JSAMPLE> row(static_cast<size_t>(cinfo.image_width) * channels);
  JSAMPROW rowPointer = row.data();
  const auto readRow = [&] { jpeg_read_scanlines(&cinfo, &rowPointer, 1); };
  if (!jpegStep(d.err, [&] { jpeg_start_decompress(&cinfo); })) throw damaged();
  if (cinfo.output_components != channels || cinfo.output_width != cinfo.image_width ||
      cinfo.output_height != cinfo.image_height)
    throw ImageError(path + ": unexpected JPEG output size or component count");
  for (JDIMENSION y = 0; y < cinfo.output_height; ++y) {
    if (!jpegStep(d.err, readRow)) throw damaged();
    if (invertInk)
      for (JSAMPLE& v : row) v = static_cast<JSAMPLE>(255 - v);
    builder.addRow(row.data(), channels);
  }
  if (!jpegStep(d.err, [&] { jpeg_finish_decompress(&cinfo); })) throw damaged();

  Document doc = builder.finish();
  doc.setSourceFormat(FileFormat::Jpeg);
  if (cinfo.density_unit == 1 && cinfo.X_density > 0) doc.setResolution(cinfo.X_density);
  if (cinfo.density_unit == 2 && cinfo.X_density > 0) doc.setResolution(cinfo.X_density * 2.54);
  return doc;
}

void writeJpeg(const Document& doc, const std::string& path) {
  checkFormatHolds(doc, FileFormat::Jpeg);
  std::unique_ptr<FILE, FileCloser> file(platform::openFile(path, "wb"));
  if (!file) throw ImageError(path + ": cannot write: " + std::strerror(errno));
  Compressor c;
  jpeg_compress_struct& cinfo = c.cinfo;
  const int channels = doc.channelCount();
  cinfo.image_width = static_cast<JDIMENSION>(doc.width());
  cinfo.image_height = static_cast<JDIMENSION>(doc.height());
  cinfo.input_components = channels;
  cinfo.in_color_space = doc.mode() == ColorMode::Gray ? JCS_GRAYSCALE
                         : doc.mode() == ColorMode::RGB ? JCS_RGB
                                                        : JCS_CMYK;
  std::vector<JSAMPLE> row(static_cast<size_t>(doc.width()) * channels);
  JSAMPROW rowPointer = row.data();
  const auto failed = [&] { return ImageError(path + ": cannot write the JPEG file (" + c.err.message + ")"); };
  if (!jpegStep(c.err, [&] {
        jpeg_stdio_dest(&cinfo, file.get());
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, kJpegQuality, TRUE);
        // No chroma subsampling: the filter's result is kept as closely as JPEG can.
        for (int i = 0; i < cinfo.num_components; ++i) {
          cinfo.comp_info[i].h_samp_factor = 1;
          cinfo.comp_info[i].v_samp_factor = 1;
        }
        cinfo.density_unit = 1;
        // The density fields are 16-bit.
        cinfo.X_density = cinfo.Y_density = static_cast<UINT16>(std::lround(std::clamp(doc.resolution(), 1.0, 65535.0)));
        jpeg_start_compress(&cinfo, TRUE);
      }))
    throw failed();
  const auto writeRow = [&] { jpeg_write_scanlines(&cinfo, &rowPointer, 1); };
  for (int y = 0; y < doc.height(); ++y) {
    const size_t base = static_cast<size_t>(y) * doc.width();
    for (int x = 0; x < doc.width(); ++x)
      for (int ch = 0; ch < channels; ++ch) row[static_cast<size_t>(x) * channels + ch] = doc.channel(ch)[base + x];
    if (!jpegStep(c.err, writeRow)) throw failed();
  }
  if (!jpegStep(c.err, [&] { jpeg_finish_compress(&cinfo); })) throw failed();
  const bool streamFailed = std::ferror(file.get()) != 0;
  if (std::fclose(file.release()) != 0 || streamFailed) throw ImageError(path + ": cannot write: " + std::strerror(errno));
}

}  // namespace veyra::app
