// The command line of the batch program, read into a plain record and checked once.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace tarvo {

// Texts as typed (UTF-8); the dates already in their canonical form.
struct OptionsLot {
    std::string description;  // the one converted by this process
    // Every description given; with more than one, each is converted by a child process.
    std::vector<std::string> descriptions;
    int travaux = 0;                   // 0: the hardware threads
    int rang = 0;                      // a child's description, from 1; 0 when not a child
    int pid_parent = 0;                // a child's parent, which it must not outlive
    std::optional<std::string> debut;  // "jj/mm/aaaa hh:mn:ss"
    std::optional<std::string> fin;
    std::optional<double> pas;  // fraction of a day
    // Unset: those of the description's last period.
    std::optional<int> unite;  // 0 hms, 1 jour, 2 mois, 3 annee
    std::optional<int> nombre;
    bool test_strict = false;
    int decalage_jours = 0;
    std::optional<std::string> donnees;
    std::optional<std::string> sortie;
    std::optional<std::string> nom;
    bool oui = false;
    bool silencieux = false;
    int fils = 0;        // 0: the hardware threads
    int bloc_ko = 1024;  // the size of a reading block
};

// The exit statuses of the program.
inline constexpr int sortie_ecrit = 0;
inline constexpr int sortie_empechee = 1;
inline constexpr int sortie_usage = 2;
inline constexpr int sortie_abandon = 3;
inline constexpr int sortie_sans_valeur = 4;  // written, but not one value is valid

// The options, or the status to exit with at once: 0 after --help or --version (printed on
// `sortie`), 2 after a wrong usage (explained on `erreurs`).
std::variant<OptionsLot, int> lire_options(int argc, const char* const* argv, std::ostream& sortie,
                                           std::ostream& erreurs);

// "25/12/2023 08:05:00", or "25/12/2023" for midnight, to the canonical text; nothing when
// the text is not such a date or the day does not exist.
std::optional<std::string> date_option(const std::string& texte);

// "hh:mm:ss" (hours 0 to 23) to a fraction of a day; nothing for another text.
std::optional<double> pas_option(const std::string& texte);

}  // namespace tarvo
