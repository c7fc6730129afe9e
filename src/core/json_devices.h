// The device inventory parts of the --json document: every PCI function, and the drivers,
// connectors, addresses and interfaces that the GPU, network, USB and audio entries carry.
#pragma once

#include "core/json_values.h"
#include "core/snapshot.h"

namespace nadrel::json {

// "pci_devices": one object per function, its link typed (null without one).
Json pci_devices_json(const SystemSnapshot& s);
// "audio.controllers": the PCI functions of the multimedia audio classes, by device name.
Json audio_controllers_json(const SystemSnapshot& s);
// A GPU's "connectors".
Json connectors_json(const GpuInfo& gpu);
// An adapter's "addresses"; each address null when sanitizing.
Json addresses_json(const NetAdapter& adapter, const JsonOptions& options);
// A USB device's "interfaces".
Json usb_interfaces_json(const UsbDevice& device);

}  // namespace nadrel::json
