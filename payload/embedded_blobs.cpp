#include "payload/embedded_blobs.h"

namespace payload {

const char* constant_text(uint32_t offset) { return reinterpret_cast<const char*>(constants_begin + offset); }

EmbeddedBlob blob_at(uint32_t offset) { return {constants_begin + offset}; }

}  // namespace payload
