#pragma once

#include <QString>
#include <optional>

namespace vorna {

class AppContext;
class Database;
class RecordSet;

// Language codes 0 English .. 4 Italian.
inline constexpr int kFirstLanguage = 0;
inline constexpr int kLastLanguage = 4;
inline constexpr int kDefaultLanguage = 1;

// The one row of table impostazioni, read and written through the context's settings record
// set. Every column name of the row lives here. Reads and writes throw RunError when the row
// is missing; the calling routine's error trap logs it. Writes are gathered and stored by
// save(), one update for all of them.
class SettingsRow {
public:
    explicit SettingsRow(AppContext& ctx);
    ~SettingsRow(); // drops writes not saved
    SettingsRow(const SettingsRow&) = delete;
    SettingsRow& operator=(const SettingsRow&) = delete;

    // Start-up: creates the row with its defaults when the table is empty, puts a language out
    // of range back to French, and leaves the row open as ctx.settings with ctx.languageIndex
    // set.
    static void open(AppContext& ctx);

    // Null reads as nullopt where the callers tell null from a value.
    std::optional<int> language() const;
    std::optional<int> basePort() const;   // COM
    std::optional<int> remotePort() const; // INT1
    int metcalc() const;                   // temperature method, 1..2
    int lineDc() const;                    // INT2: DC lines, 1..3
    int phaseAc() const;                   // misureac: AC phases, 1..3
    double radMin() const;                 // REAL1
    std::optional<QString> logo() const;
    // The logo as the table holds it now, read past the shared record set; none without a row.
    static std::optional<QString> storedLogo(Database& db);
    QString model() const;
    QString serial() const;

    SettingsRow& setLanguage(int v);
    SettingsRow& setPorts(int base, int remote);
    SettingsRow& setRemotePort(int v);
    SettingsRow& setMetcalc(int v);
    SettingsRow& setLineDc(int v);
    SettingsRow& setPhaseAc(int v);
    SettingsRow& setRadMin(double v);
    SettingsRow& setLogo(const QString& v);
    SettingsRow& setModel(const QString& v);
    SettingsRow& setSerial(const QString& v);
    void save();

private:
    RecordSet& row() const;
    SettingsRow& set(const char* column, const QVariant& value);
    std::optional<int> optionalInt(const char* column) const;

    AppContext& ctx_;
    bool editing_ = false;
};

} // namespace vorna
