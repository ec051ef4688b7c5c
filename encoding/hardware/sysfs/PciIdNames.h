#pragma once

#include <QString>

#include <cstdint>

// Vendor and device names from a pci.ids file (the PCI ID database).
namespace PciIdNames {

// The installed database: /usr/share/misc/pci.ids or /usr/share/hwdata/pci.ids,
// "" when neither exists.
QString defaultDatabase();

// "Vendor Device" for the IDs, the vendor alone when the device is not
// listed, "PCI vvvv:dddd" when the vendor is not listed or the file cannot be read.
QString describe(const QString &databasePath, uint16_t vendorId, uint16_t deviceId);

} // namespace PciIdNames
