#include "app/payload_files.h"

#include <string>

#include "app/constants.h"
#include "frame/frame_heap.h"
#include "services/file_commands.h"
#include "services/service_call.h"

namespace app {
namespace {

constexpr PayloadFile kPayloadFiles[] = {
    {kStatusSevenZip, kSuffixSevenZip, kBlobSevenZip},
    {kStatusBassVst, kSuffixBassVst, kBlobBassVst},
    {kStatusLibcurl, kSuffixLibcurl, kBlobLibcurl},
    {kStatusCore, kSuffixCore, kBlobCore},
    {kStatusLaunch, kSuffixLaunchExe, kBlobLaunch},
    {kStatusZlibwapi, kSuffixZlibwapi, kBlobZlibwapi},
    {kStatusSw, kSuffixSw, kBlobSw},
};

// An embedded blob is laid out as a byte array already: the service reads it in
// place, header and all.
services::TypedValue byte_array_in_place(uint32_t blob) {
  return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(blob_at(blob).array)), 0, frame::kTypeByteArray};
}

}  // namespace

std::span<const PayloadFile> payload_files() { return kPayloadFiles; }

bool write_payload_file(const char* folder, const PayloadFile& file) {
  const std::string path = std::string(folder) + constant_text(file.suffix);
  return services::call_service(services::write_file_service, path.c_str(), byte_array_in_place(file.blob)).low != 0;
}

}  // namespace app
