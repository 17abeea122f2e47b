// Plain-text description of a device record, as the diagnostic program prints it.
#pragma once
#include <string>
#include "devices/Device.h"

const char* KindName(uint32_t kind);
const char* TypeName(uint32_t type);
// "USB SCSI" etc.; "-" when no bus bit is known.
std::string BusText(uint32_t bus);
// The record's fields and the identity properties it answers, one "name: value" per line,
// each line indented by two blanks after a first line with kind, number and name.
std::string FormatDeviceReport(C_Device& device);
