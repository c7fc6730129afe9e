// The device inventory parts of the --json document as field lists: every PCI function, and
// the drivers, connectors, addresses and interfaces that the GPU, network, USB and audio
// entries carry.
#pragma once

#include "core/json_fields.h"
#include "core/snapshot.h"

namespace nadrel::json {

// Keys after each entry's own: a GPU's pci_address, driver and connectors; a display's
// connector and gpu_pci_address; a disk's driver and pci_address; an adapter's pci_address,
// driver, firmware_version, mtu, duplex and addresses (null each when sanitizing); a USB
// device's bus, port_path, version, interfaces and below_capability.
Fields<GpuInfo> gpu_device_fields();
Fields<DisplayInfo> display_connector_fields();
Fields<DiskInfo> disk_driver_fields();
Fields<NetAdapter> network_device_fields();
Fields<UsbDevice> usb_device_fields();

// "audio.controllers": the PCI functions of the multimedia audio classes (written from
// pci_devices, never read back).
Field<SystemSnapshot> audio_controllers_field();

// "pci_devices": one object per function, its link typed (null without one).
Field<SystemSnapshot> pci_devices_field();

}  // namespace nadrel::json
