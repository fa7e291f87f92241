// The serial devices behind the port numbers: why one could not be opened.

#include "port_fault.h"

#include <gtest/gtest.h>

using namespace vorna;

TEST(PortFaults, ReasonFromTheOpenErrorAndTheDevice) {
    const PortFaultTexts texts{"M %1", "U %1", "D %1", "G %1 %2"};
    using E = QSerialPort::SerialPortError;
    const struct {
        E error;
        bool exists, accessible;
        QString group, expected;
    } cases[] = {
        {E::DeviceNotFoundError, false, false, "", "M /dev/x"},
        // The node is there but no device behind it (an adapter pulled out).
        {E::DeviceNotFoundError, true, true, "", "M /dev/x"},
        // Missing wins over whatever else the open said.
        {E::ResourceError, false, true, "", "M /dev/x"},
        {E::PermissionError, true, false, "dialout", "G /dev/x dialout"},
        {E::PermissionError, true, false, "", "D /dev/x"},
        // Refused although this process may read and write it: someone holds it.
        {E::PermissionError, true, true, "", "U /dev/x"},
        {E::OpenError, true, true, "", "U /dev/x"},
        {E::ResourceError, true, true, "", "/dev/x: Input/output error"},
    };
    for (const auto& c : cases) {
        const PortFault f{classifyPortFault(c.error, c.exists, c.accessible), "/dev/x", c.group,
                          "Input/output error"};
        EXPECT_EQ(portFaultText(f, texts), c.expected) << c.expected.toStdString();
    }
    EXPECT_EQ(portFaultText(PortFault{}, texts), "");
}
