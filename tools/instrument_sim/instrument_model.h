#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <random>
#include <vector>

namespace vorna::sim {

// The simulated instrument's memory: identity, configuration, plants and measurements, and
// the answer to every command of the line protocol. Lines are raw single-byte text.
class InstrumentModel {
public:
    static constexpr int kPlantSlots = 31;

    struct Plant {
        // As the instrument sends them in "LISTNIMPIANTO": decimal texts with ".".
        QByteArray pot, noct, gamma;
        QByteArray nome, indirizzo, numciv, cap, comune, codfisc;
        int powerClass = 0; // 0 up to 20 kW, 1 above
    };

    // A small built-in instrument: two plants with a few measurements.
    explicit InstrumentModel(quint32 seed = 1);

    // Replaces the content with a text file (example_instrument.txt shows one); false with a
    // reason when a line cannot be read. One entry a line, fields separated by TABs, "#"
    // starts a comment:
    //   version|serial|logo|minrad|pdcmax <TAB> text       the replies to the "?" commands
    //   temperature|linedc|phaseac <TAB> number            1 or 2; 1 to 3; 1 to 3
    //   plant <TAB> n <TAB> power <TAB> NOCT <TAB> gamma <TAB> name <TAB> street <TAB>
    //         number <TAB> postal code <TAB> town <TAB> tax code <TAB> class (0 or 1)
    //   measure <TAB> plant <TAB> n <TAB> the "LISTMISURA" reply's 26 fields
    //   listval <TAB> a "LISTVAL" reply, verbatim (see listvalReplies)
    bool load(const QString& path, QString* error);
    // Replaces plants and measurements with generated ones, deterministic for the seed.
    void generate(int plants, int measurementsPerPlant);

    // The reply line to one command line (both without CR); none for a command that gets no
    // answer (an empty line).
    std::optional<QByteArray> answer(const QByteArray& command);

    QByteArray version = "Firmware: FV 2.1.5 - FR 1.0.1";
    QByteArray serial = "PV100-004711";
    QByteArray logo = "VORNA TEST LAB";
    int temperature = 1; // 1 panel, 2 ambient
    int lineDc = 3;
    int phaseAc = 3;
    QByteArray minRad = "600";
    QByteArray pdcMax = "150.0";
    std::map<int, Plant> plants;                           // by plant number
    std::map<int, std::map<int, QByteArray>> measurements; // plant -> number -> LISTMISURA line
    // Scripted "LISTVAL" replies, sent in turn, the last one repeating; without them each reply
    // is random (the demo's live values).
    std::vector<QByteArray> listvalReplies;

    std::mt19937& random() { return random_; }

private:
    QByteArray listPlant(int number) const;
    QByteArray listValues();
    QByteArray measurementLine(int plant, int number);
    std::optional<int> freeNumber() const;

    std::mt19937 random_;
    std::optional<Plant> incoming_; // a plant being sent by IPAR .. ICON
    std::size_t listvalNext_ = 0;
    bool realtime_ = false;
    double rtPower_ = 3.0;
};

} // namespace vorna::sim
