// The batch implementations of what the core asks of the machine and the user: answers
// given by a fixed policy, progress on the terminal, no power-off, no sound, no clipboard.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"
#include "plateforme/presse_papier.h"
#include "plateforme/progression.h"
#include "plateforme/sortie_audio.h"

namespace tarvo {

// Answers every box by the policy of questions_connues.h (or the first button with
// `oui_partout`) and writes each question and its answer to `erreurs`, "? " and "> " first.
class DialogueLot final : public Dialogue {
public:
    DialogueLot(std::ostream& erreurs, bool oui_partout, bool silencieux)
        : erreurs_(erreurs), oui_partout_(oui_partout), silencieux_(silencieux) {}

    void message(IdMessage id, std::string_view texte,
                 TypeMessage type = TypeMessage::information) override;
    Reponse question(IdMessage id, std::string_view texte, TypeMessage type, Boutons boutons,
                     std::optional<Reponse> defaut = std::nullopt) override;
    int message_perso(IdMessage id, std::string_view texte, TypeMessage type,
                      std::string_view legende1, std::string_view legende2 = {},
                      std::string_view legende3 = {}) override;

    // An answer ended the run, or a question no entry knows was asked.
    bool abandon() const { return abandon_; }
    int nb_erreurs() const { return nb_erreurs_; }
    // Called before each box is written, so that a progress bar can clear its line.
    std::function<void()> avant_ecriture;

private:
    int repondre(IdMessage id, std::string_view texte, const std::vector<std::string>& legendes);
    void ecrire(std::string_view prefixe, std::string_view texte_cp1252);

    std::ostream& erreurs_;
    bool oui_partout_;
    bool silencieux_;
    bool abandon_ = false;
    int nb_erreurs_ = 0;
};

// A progress bar on one line of the terminal: stage, file i/n, percent, remaining time.
class ProgressionLot final : public Progression {
public:
    // `actif` false shows nothing (standard error is not a terminal, or --silencieux).
    // `nb_fichiers` gives the number of files of the run.
    ProgressionLot(std::ostream& erreurs, bool actif, std::function<int()> nb_fichiers)
        : erreurs_(erreurs), actif_(actif), nb_fichiers_(std::move(nb_fichiers)) {}

    void afficher_progression(std::string_view message, int chronometre) override;
    void traiter_evenements() override {}
    bool arret_demande() const override { return false; }
    // Clears the bar's line, so that what follows starts on a clean line.
    void effacer();

private:
    using Horloge = std::chrono::steady_clock;
    std::ostream& erreurs_;
    bool actif_;
    std::function<int()> nb_fichiers_;
    int chronometre_ = 0;
    Horloge::time_point debut_etape_{};
    bool ligne_ecrite_ = false;
};

// Nothing is started from a batch run: no editor, no viewer, and never the power-off.
class LanceurLot final : public Lanceur {
public:
    bool ouvrir_dans_editeur(std::string_view) override { return false; }
    bool ouvrir_document(std::string_view) override { return false; }
    bool eteindre_machine(std::string_view) override { return false; }
};

// The clipboard of a batch run is its standard input, read once, whole and in binary, the
// first time it is asked for; a terminal is never read (nothing was piped in), and the text
// is then empty. Text that is valid UTF-8 and not plain ASCII is converted to Windows-1252
// ("?" for what it cannot hold), as a modern terminal or web page gives it; any other bytes
// are taken as Windows-1252 already, as a logger file or an old spreadsheet gives them.
// Reading stops past `taille_max`: the text is then empty too, and `trop_long` says why.
class PressePapierEntree final : public PressePapier {
public:
    // Far above any block of pasted cells (a whole sheet of a million rows is a few tens of
    // Mo), yet a `< /dev/zero` ends long before memory does.
    static constexpr std::size_t taille_max = std::size_t{128} << 20U;

    explicit PressePapierEntree(std::istream& entree, bool terminal)
        : entree_(entree), terminal_(terminal) {}
    std::string lire_texte() override;
    void lire_texte_vers(const std::function<void(std::string_view)>& lire) override;
    void ecrire_texte(std::string_view) override {}
    bool terminal() const { return terminal_; }
    bool trop_long() const { return trop_long_; }

private:
    std::istream& entree_;
    bool terminal_;
    bool trop_long_ = false;
    const std::string& texte();
    std::optional<std::string> texte_;
};

// One line of UTF-8 text as the terminal may be given it: control characters other than tab
// shown as "\xHH", so that the bytes of a data file can never command the terminal. C0 and
// DEL, and the C1 controls (U+0080 to U+009F), which some terminals obey too.
//   texte_terminal("a\x1B[2Jb") == "a\\x1B[2Jb"
std::string texte_terminal(std::string_view utf8);

// A value typed on the command line as a message quotes it: its first 200 characters (never
// half of one), then "…" when there were more, so that a value of a megabyte is not echoed.
//   citer_utf8(std::string(300, 'a')) == std::string(200, 'a') + "…"
std::string citer_utf8(std::string_view utf8);

// Whether the bytes are well-formed UTF-8 holding at least one non-ASCII character.
bool est_utf8_non_ascii(std::string_view octets);

// A batch run ends in silence.
class SortieAudioLot final : public SortieAudio {
public:
    bool jouer(const std::vector<std::int32_t>&, int) override { return true; }
};

// A duration as "hh:mm:ss" (hours beyond 24 kept).
std::string duree_hms(double secondes);

}  // namespace tarvo
