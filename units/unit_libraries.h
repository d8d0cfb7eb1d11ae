#pragma once
// The two unit libraries the installer's window draws its kinds from.
#include <cstdint>

#include "frame/kind_descriptor.h"

namespace units {

// library 1: window, picture box, picture button, automation object
extern const frame::UnitLibrary kSystemUnitLibrary;
extern const frame::UnitLibrary kLabelUnitLibrary;  // library 2: transparent label

// Kind descriptors, defined beside each kind.
extern const frame::KindDescriptor kWindowKind;
extern const frame::KindDescriptor kPictureBoxKind;
extern const frame::KindDescriptor kPictureButtonKind;
extern const frame::KindDescriptor kComObjectKind;
extern const frame::KindDescriptor kTransparentLabelKind;

}  // namespace units
