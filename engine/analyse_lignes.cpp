#include "engine/analyse_lignes.h"

#include <algorithm>
#include <cstring>

#include "engine/table_etapes.h"
#include "formats/date_canonique.h"
#include "formats/motifs_date.h"

namespace tarvo {

namespace {

// Any non-zero value: the block does not know yet whether the lines before it ended inside a
// run of inverted dates, and must not write that run's note on its own.
constexpr int inversion_inconnue = 7;

// The loader turns NUL bytes into byte 1, so that byte stands for a NUL here.
bool ligne_illisible(std::string_view ligne, bool car_null) {
    if (ligne.empty()) return false;
    if (!car_null)
        return std::memchr(ligne.data(), 0, ligne.size()) != nullptr ||
               std::memchr(ligne.data(), 1, ligne.size()) != nullptr;
    for (const char c : ligne) {
        const auto o = static_cast<unsigned char>(c);
        if (o == 0 || o == 1) return true;
        if (car_null && o < 32 && o != 9 && o != 10 && o != 13) return true;
    }
    return false;
}

}  // namespace

AnalyseurLignes::AnalyseurLignes(const ReglesLignes& regles, LecteurDateMesure& lecteur,
                                 bool partage)
    : r_(regles),
      copie_(lecteur),
      lecteur_(partage ? lecteur : copie_),
      ordonne_(partage),
      plan_(lecteur_.plan_position_fixe(regles.motif)) {}

// The time text of the line whose fields were cut.
std::string_view AnalyseurLignes::texte_date() {
    if (r_.nb_dates == 1) return champ(r_.col_datetime);
    date_champs_.assign(champ(r_.col_date));
    date_champs_ += ' ';
    date_champs_ += champ(r_.col_time);
    return date_champs_;
}

// Moves what the reading of line i wrote in the worker's own log to the block.
void AnalyseurLignes::recueillir(int i, LignesLues& lues, bool inversion_conditionnelle) {
    const std::vector<std::string>& lignes = journal_.lignes();
    const std::vector<JournalSuivi::Probleme>& problemes = journal_.problemes();
    std::size_t p = 0;
    for (std::size_t j = 0; j < lignes.size(); ++j) {
        while (p < problemes.size() && problemes[p].ligne < j) ++p;
        const bool probleme = p < problemes.size() && problemes[p].ligne == j;
        const ProblemeSuivi quoi = probleme ? problemes[p].probleme : ProblemeSuivi::erreur_date;
        lues.evenements.push_back(
            {i, probleme, quoi, lignes[j],
             inversion_conditionnelle && probleme && quoi == ProblemeSuivi::date_inversee});
    }
    journal_.vider();
}

void AnalyseurLignes::analyser_ligne(std::string_view ligne, int i, LignesLues& lues) {
    const auto ii = static_cast<std::size_t>(i);
    if ((nul_ou_1_ || r_.car_null) && ligne_illisible(ligne, r_.car_null)) {
        lues.etat[ii] = EtatLigne::illisible;
        return;
    }
    if (ligne.empty()) return;
    lues.etat[ii] = EtatLigne::datee;

    decouper_champs(ligne, r_.separateur, r_.guillemets, valeurs_, champs_);
    const std::string_view texte = texte_date();
    double t = 0;
    bool conditionnelle = false;
    char* canonique = r_.garder_date_texte ? lues.dates.data() + ii * 19 : nullptr;
    if (plan_ && plan_->lire(texte, t, canonique)) {
        // What the general reader does with a straight four-digit year.
        lecteur_.inversion_signalee = 0;
        inversion_vue_ = true;
    } else {
        const long long inversions = lecteur_.nb_dates_inversees;
        lecteur_.lire_date_heure_mesure(texte, r_.motif, date_texte_, journal_);
        if (!ordonne_ && !inversion_vue_) {
            if (lecteur_.nb_dates_inversees > inversions) {
                // The first inverted date of the block before any straight one: read again
                // as if no run were under way, so that its note is there if the run finds
                // none was.
                journal_.vider();
                lecteur_.nb_dates_inversees = static_cast<int>(inversions);
                lecteur_.inversion_signalee = 0;
                lecteur_.lire_date_heure_mesure(texte, r_.motif, date_texte_, journal_);
                conditionnelle = true;
                inversion_vue_ = true;
            } else if (lecteur_.inversion_signalee == 0) {
                inversion_vue_ = true;
            }
        }
        if (date_texte_.size() == 19) {
            t = texte_vers_date_heure(date_texte_, canonique_, journal_);
            if (canonique != nullptr) std::memcpy(canonique, date_texte_.data(), 19);
        }
        if (r_.decalages && lecteur_.decalage_utc_lu)
            lues.decalages[ii] = *lecteur_.decalage_utc_lu;
    }
    if (!journal_.lignes().empty()) recueillir(i, lues, conditionnelle);
    lues.instant[ii] = t;
    const std::size_t nb = r_.colonnes.size();
    if (r_.etape_directe) {
        const double correction = r_.derive ? r_.derive_pente * (t - r_.debut_derive) : 0.0;
        const int k =
            etape_de(*r_.table, t + r_.decalage + correction, r_.test_strict, r_.unite, depart_);
        lues.etape[ii] = k;
        // A line outside the period is counted nowhere: its values need no reading.
        if (k < 1 || k > r_.table->N()) return;
    }
    for (std::size_t j = 0; j < nb; ++j) {
        const std::string_view texte = champ(r_.colonnes[j]);
        if (double v = 0; valeur_simple(texte, r_.champs, v)) {
            lues.valeurs[ii * nb + j] = v;
            lues.drapeaux[ii * nb + j] = 0;
            continue;
        }
        const ChampNettoye f = nettoyer_champ(texte, r_.champs, travail_);
        lues.valeurs[ii * nb + j] = static_cast<double>(f.valeur);
        lues.drapeaux[ii * nb + j] = static_cast<unsigned char>(
            (f.na ? LignesLues::na : 0) | (f.pb_conversion ? LignesLues::pb_conversion : 0) |
            (f.alphanumerique ? LignesLues::alphanumerique : 0));
    }
}

void AnalyseurLignes::analyser(const BlocLignes& bloc, LignesLues& lues) {
    const int n = bloc.nb_lignes();
    const auto taille = static_cast<std::size_t>(n);
    const std::size_t nb = r_.colonnes.size();
    lues.etat.assign(taille, EtatLigne::vide);
    lues.instant.assign(taille, 0.0);
    lues.etape.assign(taille, -1);
    lues.valeurs.resize(taille * nb);
    lues.drapeaux.assign(taille * nb, LignesLues::na);
    lues.dates.assign(r_.garder_date_texte ? taille * 19 : 0, ' ');
    lues.decalages.assign(r_.decalages ? taille : 0, LignesLues::sans_decalage);
    lues.evenements.clear();
    lues.erreur = nullptr;
    inversion_vue_ = false;
    nul_ou_1_ = bloc.nul_ou_1 || bloc.trop_longue || bloc.ligne_trop_longue;
    const long long inversions = lecteur_.nb_dates_inversees;
    if (!ordonne_) lecteur_.inversion_signalee = inversion_inconnue;
    // A line past the longest one read is unreadable, as its cut opening would be.
    constexpr std::string_view coupee("\x01", 1);
    for (int i = bloc.premiere_analysee; i < n; ++i) {
        const std::string_view ligne = bloc.ligne(i);
        analyser_ligne(bloc.trop_longue || ligne.size() > ligne_max_octets ? coupee : ligne, i,
                       lues);
    }
    if (ordonne_) {
        lues.inversion = LignesLues::Inversion::inchangee;
        lues.nb_inversions = 0;
    } else {
        lues.inversion = !inversion_vue_                    ? LignesLues::Inversion::inchangee
                         : lecteur_.inversion_signalee == 0 ? LignesLues::Inversion::nulle
                                                            : LignesLues::Inversion::en_cours;
        lues.nb_inversions = lecteur_.nb_dates_inversees - inversions;
    }
}

AtelierLignes::AtelierLignes(int nb_fils, Travail travail) : travail_(std::move(travail)) {
    for (int f = 0; f < nb_fils; ++f) fils_.emplace_back([this, f] { boucle(f); });
}

AtelierLignes::~AtelierLignes() {
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        arret_ = true;
    }
    signal_.notify_all();
    for (std::thread& f : fils_) f.join();
}

void AtelierLignes::confier(int emplacement) {
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        const auto e = static_cast<std::size_t>(emplacement);
        if (fini_.size() <= e) fini_.resize(e + 1, 0);
        fini_[e] = 0;
        file_.push_back(emplacement);
    }
    signal_.notify_all();
}

bool AtelierLignes::prendre(int& emplacement) {
    if (file_.empty()) return false;
    // Oldest first: the run waits for the blocks in the order it gave them.
    emplacement = file_.front();
    file_.erase(file_.begin());
    return true;
}

void AtelierLignes::faire(int fil, int emplacement) {
    travail_(fil, emplacement);
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        fini_[static_cast<std::size_t>(emplacement)] = 1;
    }
    signal_.notify_all();
}

void AtelierLignes::attendre(int emplacement, int fil) {
    for (;;) {
        int autre = 0;
        {
            std::unique_lock<std::mutex> garde(verrou_);
            signal_.wait(garde, [&] {
                return fini_[static_cast<std::size_t>(emplacement)] != 0 || !file_.empty();
            });
            if (fini_[static_cast<std::size_t>(emplacement)] != 0) return;
            if (!prendre(autre)) continue;
        }
        // Rather than wait, the caller reads a block itself.
        faire(fil, autre);
    }
}

void AtelierLignes::boucle(int fil) {
    for (;;) {
        int emplacement = 0;
        {
            std::unique_lock<std::mutex> garde(verrou_);
            signal_.wait(garde, [&] { return arret_ || !file_.empty(); });
            if (arret_ || !prendre(emplacement)) return;
        }
        faire(fil, emplacement);
    }
}

}  // namespace tarvo
