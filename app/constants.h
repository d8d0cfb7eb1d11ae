#pragma once
// The installer's constants: one named offset per text and blob in the constants
// area (generated from app/constants.json), read through typed accessors.
#include "app/constant_offsets.h"
#include "payload/embedded_blobs.h"

namespace app {

using payload::blob_at;
using payload::constant_text;
using payload::EmbeddedBlob;

}  // namespace app
