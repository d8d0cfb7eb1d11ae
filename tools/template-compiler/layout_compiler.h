// Turns a layout file (JSON) into a window template block.
//
//   {"handlers": ["on_start", ...],              handler i lies at offset 8 * i
//    "window": {"id": "0x52010001", "section_tag": 1, "section_flags": "0x1901000D",
//               "units": [window record, unit, ...]}}
//
// or "windows": [window, ...] for a template of several windows, in directory order.
// A unit: "id", "kind" (window, PicBox, PicBtn, TransLabel, or the kind number of a
// kind from another library, "0x00030001", whose bytes "kind_data" gives as hex
// digits), "name", "left", "top",
// "width", "height", "visible", optional "second_name", "link", "parent", "disabled",
// "tab_stop", "tab_order", "tag", "pages" (a container's pages, each a list of unit
// ids), "properties" (by the names of kind_properties), "pictures" (slot name ->
// file path relative to the layout file), "bindings" ([{"event": 0, "handler":
// "on_start" or null}]). A menu item (id 0x26xxxxxx, kind MenuItem): "id", "kind",
// "name", optional "second_name", "text" and "handler". "role", "group" and "note"
// are for readers and stored nowhere.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/template-compiler/json_fields.h"

namespace tplc {

// The layout's handler names in table order. Throws tools::InputError when malformed.
std::vector<std::string> handler_names(const Json& layout);

// Throws tools::InputError naming the unit and field at fault.
std::vector<uint8_t> compile_layout(const Json& layout, const std::filesystem::path& picture_folder);

}  // namespace tplc
