#pragma once

#include <QString>
#include <QStringList>

#include "link.h"
#include "port_fault.h"

namespace vorna {

class AppContext;

// The numbers the port lists offer, "1" to "90".
inline constexpr int kListedPorts = 90;
QStringList port_list_texts();

// The leading integer of a list text ("12 (USB)" gives 12); 0 when the text does not start
// with a number.
int leading_port_number(const QString& text);

// Why a port could not be opened, in the program's language.
PortFaultTexts port_fault_texts(const AppContext& ctx);

enum class PortCheck {
    Connected, // the port is open and its number stored
    Missing,   // it could not be opened: warned, nothing stored
    NotStored, // open, but the settings row could not be written (logged)
};

// Opens the instrument port (verifica_combase) or the remote unit's port (verifica_comremoto)
// on the number in listText and stores both port numbers in the settings row. When the port
// cannot be opened the missing-port warning gets a second line with the device and the reason. When
// the other port is closed and has the same number, it moves to 1, or to 2 when this one is 1.
PortCheck verifica_combase(AppContext& ctx, const QString& listText);
PortCheck verifica_comremoto(AppContext& ctx, const QString& listText);

// The stored number of the instrument port or the remote port; 0 when missing.
int stored_base_port(AppContext& ctx);
int stored_remote_port(AppContext& ctx);

// The connect button of either unit: closes the unit's link when it is up; otherwise opens the
// port chosen in listText and, for the instrument, reads its configuration (a failed read
// leaves the link down). Missing or NotStored when opening failed, otherwise Connected.
PortCheck toggleLink(AppContext& ctx, Unit unit, const QString& listText);

} // namespace vorna
