// The per-line work of a run that needs no previous line: fields cut, time read, step found
// when nothing can move the time, values cleaned. Worker threads do it for whole blocks; the
// run then adds the blocks up in file order.
#pragma once

#include <climits>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/extraction.h"
#include "engine/lecture_blocs.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"

namespace tarvo {

class TableEtapes;

// The settings every line is read with, fixed for the whole run.
struct ReglesLignes {
    char separateur = ';';
    bool guillemets = false;
    int nb_dates = 1;
    int col_datetime = 0, col_date = 0, col_time = 0;
    std::string motif;
    ReglesChamp champs;
    std::vector<int> colonnes;  // the field of each extracted column, in output order
    bool car_null = false;
    // Without +1 s or +1 day a time is final once read, and its step can be found at once.
    bool etape_directe = false;
    bool garder_date_texte = false;  // the corrections quote the time read
    // A result zone is set: the offset written after each time is kept for the run.
    bool decalages = false;
    double decalage = 0;
    bool derive = false;
    double derive_pente = 0, debut_derive = 0;
    int test_strict = 0;
    int unite = 0;
    const TableEtapes* table = nullptr;
};

enum class EtatLigne : unsigned char { vide, illisible, datee };

// What one block's lines gave.
struct LignesLues {
    static constexpr unsigned char na = 1, pb_conversion = 2, alphanumerique = 4;
    // A log line the time reading wrote, kept to be written in file order.
    struct Evenement {
        int ligne;
        bool probleme;
        ProblemeSuivi quoi;
        std::string texte;
        // The note of a run of inverted dates that began in an earlier block, which only the
        // run can tell: written only when the previous block did not end inside such a run.
        bool si_pas_deja_inversee = false;
    };
    // Where the reader's "inverted dates" state stands at the end of the block.
    enum class Inversion { inchangee, nulle, en_cours };

    std::vector<EtatLigne> etat;
    std::vector<double> instant;
    std::vector<int> etape;  // −1: found by the run, after its corrections
    std::vector<double> valeurs;
    std::vector<unsigned char> drapeaux;
    std::string dates;  // 19 characters per line when the corrections quote them
    // With a result zone, the offset written after each line's time, in seconds east of UTC
    // (sans_decalage when none).
    static constexpr int sans_decalage = INT_MIN;
    std::vector<int> decalages;
    std::vector<Evenement> evenements;
    Inversion inversion = Inversion::inchangee;
    long long nb_inversions = 0;
    std::exception_ptr erreur;
};

// One worker's tools: its own time reader and log, reused from block to block.
class AnalyseurLignes {
public:
    // `lecteur` is copied unless `partage`, when the lines must be read in order with it.
    AnalyseurLignes(const ReglesLignes& regles, LecteurDateMesure& lecteur, bool partage);
    void analyser(const BlocLignes& bloc, LignesLues& lues);

private:
    void analyser_ligne(std::string_view ligne, int i, LignesLues& lues);
    std::string_view texte_date();
    void recueillir(int i, LignesLues& lues, bool inversion_conditionnelle);
    std::string_view champ(int n) const {
        return n >= 1 && n <= static_cast<int>(champs_.size())
                   ? champs_[static_cast<std::size_t>(n) - 1]
                   : std::string_view{};
    }

    const ReglesLignes& r_;
    LecteurDateMesure copie_;
    LecteurDateMesure& lecteur_;
    bool ordonne_;
    std::optional<PlanDate> plan_;
    JournalSuivi journal_;
    std::vector<std::string_view> champs_;
    std::string valeurs_;  // the values of quoted fields, which champs_ then points into
    std::string date_texte_, date_champs_, canonique_, travail_;
    int depart_ = 1;
    bool inversion_vue_ = false;
    bool nul_ou_1_ = false;  // the block holds a byte that makes a line unreadable  // an inverted
                             // or straight date since the block began
};

// Worker threads that analyse the blocks put in their slots, any order; the caller takes the
// slots back in its own order, and reads queued blocks itself while it waits.
class AtelierLignes {
public:
    using Travail = std::function<void(int fil, int emplacement)>;
    AtelierLignes(int nb_fils, Travail travail);
    ~AtelierLignes();
    AtelierLignes(const AtelierLignes&) = delete;
    AtelierLignes& operator=(const AtelierLignes&) = delete;

    void confier(int emplacement);
    // Until that slot is done; `fil` names the caller's own tools for the blocks it reads.
    void attendre(int emplacement, int fil);

private:
    void boucle(int fil);
    bool prendre(int& emplacement);  // with the lock held
    void faire(int fil, int emplacement);
    Travail travail_;
    std::mutex verrou_;
    std::condition_variable signal_;
    std::vector<int> file_;
    std::vector<char> fini_;
    bool arret_ = false;
    std::vector<std::thread> fils_;
};

}  // namespace tarvo
