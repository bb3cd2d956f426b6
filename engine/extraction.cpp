#include "engine/extraction.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <memory>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "description/description.h"
#include "engine/agregation.h"
#include "engine/analyse_lignes.h"
#include "engine/grille.h"
#include "engine/lecture_blocs.h"
#include "engine/messages.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fuseaux.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "inventory/intitules.h"
#include "inventory/listing.h"
#include "inventory/octets_fichier.h"
#include "inventory/prelecture.h"
#include "inventory/table_fichiers.h"
#include "plateforme/dialogue.h"
#include "plateforme/progression.h"

namespace tarvo {

namespace {

using Horloge = std::chrono::steady_clock;

// Events, progress and the stop request are looked at every so many lines, and then only
// when 50 ms have passed (the window is served twice within its 0.1 s): a call per line
// would cost more than the line itself.
constexpr int lignes_par_controle = 4096;
constexpr std::string_view non_lu = " ---";
constexpr std::string_view inconnue = "    ????";
// The observed-step minimum before any step was seen.
constexpr double minimum_initial = 9999.0;

double secondes_depuis(Horloge::time_point debut) {
    return std::chrono::duration<double>(Horloge::now() - debut).count();
}

// Whole seconds, the fraction dropped: callers add the half second where they round.
std::string duree_tronquee(double secondes) {
    return hh_mm_ss(static_cast<long long>(std::floor(std::max(0.0, secondes))));
}

// "#0.#" with the decimal comma: 12.0 → "12", 0.25 → "0,3".
std::string format_0_0(double valeur) {
    std::array<char, 64> r{};
    std::snprintf(r.data(), r.size(), "%.1f", valeur);
    std::string s = r.data();
    if (s.ends_with(".0")) s.resize(s.size() - 2);
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

// The clock time in so many seconds, for the estimated end of the run.
std::string heure_dans(double secondes) {
    const std::time_t fin = std::time(nullptr) + static_cast<std::time_t>(std::max(0.0, secondes));
    std::tm local{};
    localtime_r(&fin, &local);
    std::array<char, 16> r{};
    std::strftime(r.data(), r.size(), "%H:%M:%S", &local);
    return r.data();
}

int entier(std::string_view texte) {
    return lire_entier(texte).value_or(0);
}

std::optional<double> seuil(std::string_view texte) {
    if (rogner(texte).empty()) return std::nullopt;
    return lire_reel(texte);
}

bool hors_seuils(std::string_view champ, const ReglesChamp& r) {
    if ((!r.min && !r.max) || champ.empty()) return false;
    const double x = lire_reel(champ);
    return (r.min && x < *r.min) || (r.max && x > *r.max);
}

// What one file's lines added up to, for its row of the table and its log lines.
struct ComptesFichier {
    int nb_pb = 0, nb_pb_conversion = 0, nb_1j = 0, nb_1s = 0;
    int nb_heures_inexistantes = 0;
    long long nb_extraites = 0;
    double somme_dt = 0, min_dt = minimum_initial;
    long long nb_dt = 0;
    double precedent = 0;
    // The dates as the lines give them: the earliest and latest, the last one read, and the
    // first place where they go back with the number of times they do.
    double date_min = 0, date_max = 0, date_lue = 0;
    int ligne_lue = 0;
    long long nb_retours = 0;
    int ligne_retour = 0, ligne_avant_retour = 0;
    double date_retour = 0, date_avant_retour = 0;
};

class Extraction {
public:
    Extraction(const ContexteExtraction& c, TableEtapes& t) : c_(c), d_(c.description), t_(t) {}
    ResultatExtraction executer();

private:
    bool preparer();
    bool memoire_suffisante(std::size_t nb_dates) const;
    bool lire_reglages();
    bool lire_fuseaux();
    static void noter_date(double t, int n, ComptesFichier& comptes);
    FinExtraction traiter_fichier(int r, bool& reference);
    std::string annoncer_fichier(int r, double mo);
    FinExtraction verifier_dates_fichier(int r, std::string_view chemin, const TamponLignes& tampon,
                                         const PlageDonnees& plage, bool reference);
    FinExtraction lire_lignes(int r, std::string_view chemin, const TamponLignes& tampon,
                              const PlageDonnees& plage, ComptesFichier& comptes);
    FinExtraction ajouter_bloc(int r, const BlocLignes& bloc, const LignesLues& lues,
                               long long premiere_ligne, const PlageDonnees& plage,
                               ComptesFichier& comptes);
    double instant_ligne(double t, int n, std::string_view date_texte, ComptesFichier& comptes);
    bool extraire_champs(int k, int n, const BlocLignes& bloc, int i, const LignesLues& lues,
                         ComptesFichier& comptes);
    int nb_fils() const;
    void conclure_fichier(int r, const PlageDonnees& plage, const ComptesFichier& comptes,
                          Horloge::time_point debut_fichier);
    std::string_view champ(int n) const {
        return n >= 1 && n <= static_cast<int>(champs_.size())
                   ? champs_[static_cast<std::size_t>(n) - 1]
                   : std::string_view{};
    }
    void lire_date(std::string_view ligne, std::string& resultat);
    void colonnes_reference(std::string_view premiere_ligne, int r);
    bool controle_arret(int r, int fait, int total);
    void rejeter(int r, int n, std::string_view ligne);
    // The time and size left, from the listed kilobytes read so far; the file under way
    // counts for the share of its lines done.
    void estimer_reste(double part_du_fichier);

    const ContexteExtraction& c_;
    const Description& d_;
    TableEtapes& t_;
    ResultatExtraction res_;
    long long ko_fichier_ = 0;  // the file under way
    Horloge::time_point debut_ = Horloge::now();
    Horloge::time_point dernier_controle_ = Horloge::now();

    // Settings read once.
    char sep_ = ';';
    bool guillemets_ = false;
    int nb_dates_ = 1;
    int col_datetime_ = 0, col_date_ = 0, col_time_ = 0;
    std::string motif_;
    int index_intitules_ = -1;
    ReglesChamp regles_;
    double decalage_ = 0;
    bool derive_ = false;
    double derive_pente_ = 0;
    double debut_derive_ = 0;
    Methode methode_ = Methode::moyenne;
    int test_strict_ = 0;
    int unite_ = unite_hms;
    double pas_ = 0;
    std::vector<int> colonnes_choisies_;
    int K_ = 2;
    bool car_null_ = false;
    bool plus_1s_ = false, plus_1j_ = false;
    bool arret_ = false;
    // Set when a result zone is chosen: every time is converted before its corrections.
    std::optional<ConversionFuseaux> conversion_;

    // Reused from line to line.
    std::vector<std::string_view> champs_;
    std::string valeurs_;  // the values of quoted fields, which champs_ then points into
    std::string date_champs_;
    int depart_ = 1;
    ReglesLignes regles_lignes_;
    // A run of inverted dates is under way where the last block added ended.
    bool en_inversion_ = false;
};

bool Extraction::preparer() {
    const Grille& g = c_.grille;
    if (g.dates.empty()) {
        c_.journal.ajouter_probleme(ProblemeSuivi::liste_horodatee_vide,
                                    "!!! : ListBox_date_clean.Items.Count= 0");
        return false;
    }
    c_.progression.afficher_progression("3- patienter ... 0%   ",
                                        Progression::chronometre_traitement);

    const int C = c_.inventaire.colonnes.nb_colonnes_donnees;
    if (d_.CheckBox_col_cochee) {
        std::string fautive;
        const auto liste = colonnes_cochees(d_.Edit_col_cochee, fautive);
        if (!liste) {
            c_.dialogue.message(IdMessage::colonne_a_extraire_non_entiere,
                                fr("La liste des colonnes à extraire <") + d_.Edit_col_cochee +
                                    fr(">\n\ncontient <") + fautive +
                                    fr("> qui n'est pas un n° de colonne entier\n\n") +
                                    fr("   corriger la liste avant de traiter"),
                                TypeMessage::erreur);
            return false;
        }
        colonnes_choisies_ = *liste;
        K_ = static_cast<int>(colonnes_choisies_.size()) + 2;
    } else {
        K_ = std::max(0, C) + 2;
    }
    if (!memoire_suffisante(g.dates.size())) return false;
    t_.dimensionner(g.dates, K_, g.date_suivante);

    for (int r = 1; r < c_.table.nb_lignes(); ++r)
        for (const Colonne col :
             {Colonne::date_dep, Colonne::date_fin, Colonne::nb_donnees, Colonne::nb_extraites,
              Colonne::pas_moyen, Colonne::duree, Colonne::correction, Colonne::nb_colonnes,
              Colonne::ligne_intitules})
            c_.table.ecrire_cellule(r, col, std::string(non_lu));
    c_.progression.afficher_progression("3- patienter ... 10%   ",
                                        Progression::chronometre_traitement);
    return lire_reglages();
}

// What the grid, the step table and the result lines will hold, weighed before the table is
// sized: a wide file or a long period is refused here rather than by the machine.
bool Extraction::memoire_suffisante(std::size_t nb_dates) const {
    // The NA text and the decimals as the formatting reads them ("E" a blank, "V" nothing).
    const std::string na = majuscules(rogner(d_.Edit_NA));
    const std::size_t largeur_na = na == "E" ? 1 : na == "V" ? 0 : d_.Edit_NA.size();
    const int decimales = std::clamp(lire_entier(rogner(d_.Edit_nb_decimale)).value_or(2), 0, 20);
    // "%5.<d>f": five characters at least, four figures before the point in most series.
    const std::size_t largeur_nombre = static_cast<std::size_t>(std::max(5, decimales + 5));
    const std::size_t separateur = d_.RadioGroup_separateur_sortie_ItemIndex == 2 ? 2 : 1;
    const std::size_t largeur = separateur + std::max(largeur_na, largeur_nombre);
    const auto rangs = static_cast<long long>(nb_dates);
    const unsigned long long octets = memoire_des_rangs(rangs, K_, largeur);
    if (octets <= memoire_max_rangs) return true;
    c_.dialogue.message(IdMessage::traitement_trop_grand,
                        texte_traitement_trop_grand(rangs - 1, K_, octets), TypeMessage::erreur);
    return false;
}

// The settings every line needs, read once; false when a date column lies outside the files.
bool Extraction::lire_reglages() {
    const int C = c_.inventaire.colonnes.nb_colonnes_donnees;
    sep_ = separateur_entree(d_);
    guillemets_ = d_.CheckBox_champs_guillemets;
    nb_dates_ = nb_colonnes_dates(d_);
    col_datetime_ = entier(d_.Edit_num_col_datetime);
    col_date_ = entier(d_.Edit_num_col_date);
    col_time_ = entier(d_.Edit_num_col_time);
    // A date column outside the files would give a result of NA only, and call it done.
    const int total = std::max(0, C) + nb_dates_;
    const std::vector<std::pair<int, const char*>> dates =
        nb_dates_ == 1
            ? std::vector<std::pair<int, const char*>>{{col_datetime_, "date/heure"}}
            : std::vector<std::pair<int, const char*>>{{col_date_, "date"}, {col_time_, "heure"}};
    for (const auto& [colonne, nom] : dates) {
        if (colonne >= 1 && colonne <= total) continue;
        c_.dialogue.message(
            IdMessage::colonne_inexistante,
            fr(std::string(" la colonne de ") + nom + " n°") + std::to_string(colonne) +
                fr(" n'existe pas : les fichiers comptent ") + std::to_string(total) +
                fr(" colonnes\n\n   corriger la description avant de traiter"),
            TypeMessage::erreur);
        return false;
    }
    motif_ = nb_dates_ == 1
                 ? d_.Edit_format_datetime_mesure
                 : d_.Edit_format_date_mesure_seule + " " + d_.Edit_format_time_mesure_seul;
    // A typed line number far out of range must not wrap around.
    index_intitules_ = d_.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::sans
                           ? -1
                           : static_cast<int>(std::max<long long>(
                                 -1, entier(d_.Edit_num_ligne_intitule_col) - 1LL));
    regles_.min = seuil(d_.Edit_min_na);
    regles_.max = seuil(d_.Edit_max_na);
    regles_.equivalences = equivalences_na(d_.Edit_equiv_na);
    decalage_ = decalage_jours(d_, c_.SpinEdit_decalage_jour);
    derive_ = d_.CheckBox_derive_active &&
              d_.DateTimePicker_constat_derive != d_.DateTimePicker_debut_derive;
    if (derive_) {
        const double D = (d_.TimePicker_derive_reelle - std::floor(d_.TimePicker_derive_reelle)) -
                         (d_.TimePicker_derive_erronee - std::floor(d_.TimePicker_derive_erronee));
        derive_pente_ = D / (d_.DateTimePicker_constat_derive - d_.DateTimePicker_debut_derive);
        debut_derive_ = d_.DateTimePicker_debut_derive;
    }
    if (!lire_fuseaux()) return false;
    methode_ = d_.RadioGroup_methode_ItemIndex;
    car_null_ = d_.CheckBox_car_null;
    plus_1s_ = d_.CheckBox_correction_si_t1egalt2;
    plus_1j_ = d_.CheckBox_correction_si_t1supt2;
    test_strict_ = c_.parametres_grille.test_strict;
    unite_ = c_.parametres_grille.unite_pas;
    pas_ = pas_jours(c_.parametres_grille);
    c_.lecteur.debut_traitement();
    ReglesLignes& l = regles_lignes_;
    l.separateur = sep_;
    l.guillemets = guillemets_;
    l.nb_dates = nb_dates_;
    l.col_datetime = col_datetime_, l.col_date = col_date_, l.col_time = col_time_;
    l.motif = motif_;
    l.champs = regles_;
    l.car_null = car_null_;
    // A converted time may depend on the line before it (the repeated autumn hour), so its
    // step is found in file order, and a skipped time is logged with its text.
    l.etape_directe = !plus_1s_ && !plus_1j_ && !conversion_;
    l.garder_date_texte = plus_1s_ || plus_1j_ || conversion_;
    l.decalages = conversion_.has_value();
    c_.lecteur.lire_decalage_utc = conversion_.has_value();
    l.decalage = decalage_;
    l.derive = derive_, l.derive_pente = derive_pente_, l.debut_derive = debut_derive_;
    l.test_strict = test_strict_;
    l.unite = unite_;
    l.table = &t_;
    return true;
}

// The two zones; false, the user told, when a text names neither an offset nor a zone.
bool Extraction::lire_fuseaux() {
    std::optional<Fuseau> zones[2];
    const std::string* textes[2] = {&d_.Edit_fuseau_mesures, &d_.Edit_fuseau_resultat};
    const char* noms[2] = {"fuseau des mesures", "fuseau du résultat"};
    for (int i = 0; i < 2; ++i) {
        if (rogner(*textes[i]).empty()) continue;
        zones[i] = Fuseau::lire(*textes[i]);
        if (zones[i]) continue;
        c_.dialogue.message(IdMessage::fuseau_inconnu,
                            texte_fuseau_inconnu(fr(noms[i]), *textes[i]), TypeMessage::erreur);
        return false;
    }
    conversion_.reset();
    if (zones[1]) conversion_.emplace(zones[0], *zones[1]);
    return true;
}

void Extraction::lire_date(std::string_view ligne, std::string& resultat) {
    decouper_champs(ligne, sep_, guillemets_, valeurs_, champs_);
    if (nb_dates_ == 1) {
        c_.lecteur.lire_date_heure_mesure(champ(col_datetime_), motif_, resultat, c_.journal);
    } else {
        date_champs_.assign(champ(col_date_));
        date_champs_ += ' ';
        date_champs_ += champ(col_time_);
        c_.lecteur.lire_date_heure_mesure(date_champs_, motif_, resultat, c_.journal);
    }
}

void Extraction::colonnes_reference(std::string_view premiere_ligne, int r) {
    TableFichiers& table = c_.table;
    // Blanks that open or close an aligned line separate no column.
    const std::string ligne = sep_ == ' ' ? std::string(rogner(reduire_blancs(premiere_ligne)))
                                          : std::string(premiere_ligne);
    const int nb =
        guillemets_ ? nb_champs_guillemets(premiere_ligne, sep_) : nb_car(sep_, ligne) + 1;
    table.ecrire_cellule(r, Colonne::nb_colonnes, " " + std::to_string(nb));
    res_.colonnes_sortie = std::to_string(K_) + " colonnes (avec temps et nb)";

    // The data columns: the chosen ones in their order, else all but the date columns.
    std::vector<int> sources = colonnes_choisies_;
    if (!d_.CheckBox_col_cochee) {
        const int total = c_.inventaire.colonnes.nb_colonnes_donnees + nb_dates_;
        for (int k = 1; k <= total; ++k) {
            const bool date =
                nb_dates_ == 1 ? k == col_datetime_ : k == col_date_ || k == col_time_;
            if (!date) sources.push_back(k);
        }
    }
    for (int i = 2; i <= K_ - 1; ++i) {
        const auto j = static_cast<std::size_t>(i) - 2;
        t_.colonne_source[static_cast<std::size_t>(i)] = j < sources.size() ? sources[j] : 0;
    }

    const std::string& intitules = c_.inventaire.colonnes.intitules;
    const auto titre = [&](int col) {
        return std::string(rogner(champ_vue(intitules, col, '\t')));
    };
    // Converted times are in the result's zone, whatever zone the input column's title names.
    const std::string fuseau =
        conversion_ ? " converti en " + std::string(rogner(d_.Edit_fuseau_resultat)) : "";
    std::string temps;
    if (nb_dates_ == 1) {
        temps = "temps(" + titre(col_datetime_) + fuseau;
        if (decalage_ != 0) {
            const double heure = d_.TimePicker_decalage - std::floor(d_.TimePicker_decalage);
            temps += " decalage=" + std::string(decalage_ < 0 ? "-" : "+") +
                     std::to_string(c_.SpinEdit_decalage_jour) + "j " +
                     date_heure_vers_texte(heure).substr(11);
        }
        temps += test_strict_ == 1 ? " inf srict" : " inf ou =";
        temps += ")";
    } else {
        temps = titre(col_date_) + fuseau;
    }
    std::vector<std::string>& titres = t_.titres_colonnes;
    titres[1] = temps;
    for (int i = 2; i <= K_ - 1; ++i)
        titres[static_cast<std::size_t>(i)] = titre(t_.colonne_source[static_cast<std::size_t>(i)]);
    const std::string& station = table.lire_cellule(r, Colonne::station);
    titres[static_cast<std::size_t>(K_)] =
        "nb(" + std::to_string(t_.N() - 1) + ")_methode_(" + legende_methode(methode_) + ")" +
        (rogner(station).empty() ? std::string() : "_station(" + station + ")");
    c_.journal.ajouter_suivi("");
    c_.journal.ajouter_suivi(fr(" colonnes à extraire :"));
    for (int i = 1; i <= K_; ++i)
        c_.journal.ajouter_suivi(std::to_string(i) + "=>" + titres[static_cast<std::size_t>(i)]);
}

bool Extraction::controle_arret(int r, int fait, int total) {
    const auto maintenant = Horloge::now();
    if (maintenant - dernier_controle_ < std::chrono::milliseconds(50)) return false;
    dernier_controle_ = maintenant;
    const int pourcent = total > 0 ? std::clamp(fait * 100 / total, 0, 100) : 100;
    c_.progression.afficher_progression(
        "3- patienter ... fic-" + std::to_string(r) + "  " + std::to_string(pourcent) + "%     ",
        Progression::chronometre_traitement);
    estimer_reste(total > 0 ? static_cast<double>(fait) / total : 1.0);
    c_.progression.traiter_evenements();
    return c_.progression.arret_demande();
}

void Extraction::rejeter(int r, int n, std::string_view ligne) {
    if (res_.nb_lignes_rejetees++ > 0) return;
    res_.premiere_ligne_rejetee = c_.table.lire_cellule(r, Colonne::fichier) + " ligne " +
                                  std::to_string(n) + " : " + std::string(ligne.substr(0, 60));
}

void Extraction::estimer_reste(double part_du_fichier) {
    const auto total_ko = static_cast<double>(c_.inventaire.taille_totale_ko);
    const double traites = static_cast<double>(c_.inventaire.ko_traites) -
                           static_cast<double>(ko_fichier_) * (1.0 - part_du_fichier);
    if (traites > 0) {
        const double ecoule = secondes_depuis(debut_);
        const double reste = std::max(0.0, ecoule * total_ko / traites - ecoule);
        res_.temps_restant = duree_tronquee(reste) + " >> " + heure_dans(reste) + "    " +
                             format_0_00(std::max(0.0, total_ko - traites) / 1000.0) + " Mo";
    } else {
        res_.temps_restant = "reste " + format_0_00(total_ko / 1000.0) + " Mo";
    }
    c_.progression.afficher_temps_restant(res_.temps_restant);
}

// The reference is the first file that holds data: it sets the columns, then is cleared.
FinExtraction Extraction::traiter_fichier(int r, bool& reference) {
    const Horloge::time_point debut_fichier = Horloge::now();
    const double mo = lire_reel(c_.table.lire_cellule(r, Colonne::taille));
    const std::string chemin = annoncer_fichier(r, mo);
    TamponLignes& tampon = c_.inventaire.tampon_fichier_lu;
    // Only the ends of a big file are held: its lines are read in blocks below.
    FenetresLecture fenetres = fenetres_servies(c_.progression);
    fenetres.signaler_coupees = false;
    if (!prelire_fichier(chemin, std::llround(mo * 1024.0 * 1000.0), d_, c_.source.mode, tampon,
                         c_.journal, c_.dialogue, std::move(fenetres)))
        return FinExtraction::refusee;

    c_.table.ecrire_cellule(
        r, Colonne::ligne_intitules,
        index_intitules_ < 1 ? std::string(" -") : " " + std::to_string(index_intitules_ + 1));
    const PlageDonnees plage = plage_donnees(d_, tampon);
    if (tampon.vide() || plage.premiere >= tampon.nb_lignes()) {
        // Nothing to convert: an empty file is said so by its loader, a file of titles here.
        if (!tampon.vide())
            c_.journal.ajouter_probleme(
                ProblemeSuivi::fichier_sans_donnees,
                fr("fichier sans ligne de données, non traité => ") + chemin);
        c_.table.ecrire_cellule(r, Colonne::nb_donnees, "0");
        c_.table.ecrire_cellule(r, Colonne::nb_extraites, "0");
        return FinExtraction::complete;
    }
    if (const FinExtraction fin = verifier_dates_fichier(r, chemin, tampon, plage, reference);
        fin != FinExtraction::complete)
        return fin;
    reference = false;
    ComptesFichier comptes;
    if (conversion_) conversion_->nouveau_fichier();
    if (const FinExtraction fin = lire_lignes(r, chemin, tampon, plage, comptes);
        fin != FinExtraction::complete)
        return fin;
    res_.nb_lignes_extraites += comptes.nb_extraites;
    conclure_fichier(r, plage, comptes, debut_fichier);
    return FinExtraction::complete;
}

// The file's opening lines in the log and its share of the work; returns its path.
std::string Extraction::annoncer_fichier(int r, double mo) {
    const TableFichiers& table = c_.table;
    const std::string nom = table.lire_cellule(r, Colonne::fichier);
    c_.journal.ajouter_suivi("");
    c_.journal.ajouter_suivi("  " + std::to_string(r) + " <---------------" + nom + "  " +
                             table.lire_cellule(r, Colonne::station));
    res_.Label_fic = nom + "  " + std::to_string(r);
    ko_fichier_ = std::llround(mo * 1000.0);
    c_.inventaire.ko_traites += ko_fichier_;
    return c_.source.mode == ModeEntree::fichiers
               ? ajouter_antislash(d_.dossier_choisi) +
                     std::string(rogner(table.lire_cellule(r, Colonne::sous_repertoire))) + nom
               : c_.source.copie;
}

// The first data line and the first and last dates, asking whether to go on when they look
// wrong; the row's dates and the run's extremes. The reference file sets the columns.
FinExtraction Extraction::verifier_dates_fichier(int r, std::string_view chemin,
                                                 const TamponLignes& tampon,
                                                 const PlageDonnees& plage, bool reference) {
    TableFichiers& table = c_.table;
    const int nb = tampon.nb_lignes();
    const std::string_view premiere = tampon.ligne(plage.premiere);
    const int chiffres = nb_car_numeriques(premiere);
    const int lettres = nb_lettres(premiere);
    if (chiffres < lettres) {
        const std::string texte =
            "fichier " + std::to_string(r) + "\n" + std::string(chemin) + "\n\n" +
            fr(" il semble que la 1ère ligne de données soit une description de colonnes ") + "\n" +
            "<" + std::string(premiere) + ">" + "\n" +
            " nb chiffres    = " + std::to_string(chiffres) + "\n" +
            " nb de lettrres = " + std::to_string(lettres) + "\n\n" + " Annuler ce traitement ?";
        if (c_.dialogue.question(IdMessage::donnees_semblent_intitules, texte,
                                 TypeMessage::avertissement, Boutons::oui_non) == Reponse::oui)
            return FinExtraction::abandonnee;
        table.ecrire_cellule(r, Colonne::ligne_intitules, " ? ");
    }

    // A data line outside the buffer has no date, not the date of an empty text.
    std::string date_dep, date_fin;
    if (plage.premiere >= 0 && plage.premiere < nb) lire_date(premiere, date_dep);
    if (plage.derniere >= 0 && plage.derniere < nb)
        lire_date(tampon.ligne(plage.derniere), date_fin);
    if (contient(date_dep, "//")) {
        if (c_.dialogue.question(IdMessage::colonne_date_a_verifier,
                                 texte_colonne_date_a_verifier(), TypeMessage::avertissement,
                                 Boutons::oui_non) == Reponse::oui)
            return FinExtraction::abandonnee;
    }
    if (!(date_fin > date_dep)) table.ecrire_cellule(r, Colonne::correction, fr("à faire"));
    table.ecrire_cellule(r, Colonne::date_dep, date_dep.empty() ? std::string(inconnue) : date_dep);
    table.ecrire_cellule(r, Colonne::date_fin, date_fin.empty() ? std::string(inconnue) : date_fin);
    if (reference) {
        res_.date_heure_min = std::numeric_limits<double>::max();
        res_.date_heure_max = std::numeric_limits<double>::lowest();
    }
    res_.nb_lignes_donnees =
        format_entier_groupe(std::max(0, nb - plage.premiere - plage.decalage_balise));
    if (reference) colonnes_reference(premiere, r);
    return FinExtraction::complete;
}

int Extraction::nb_fils() const {
    if (c_.lecture.nb_fils > 0) return c_.lecture.nb_fils;
    return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

// Every data line into its step, a block at a time: worker threads read the blocks' lines
// (the hot path, in analyse_lignes), and this thread adds them up in file order, where each
// line may depend on the one before. A pattern whose reading depends on the lines before is
// read here too, in order.
FinExtraction Extraction::lire_lignes(int r, std::string_view chemin, const TamponLignes& tampon,
                                      const PlageDonnees& plage, ComptesFichier& comptes) {
    const FichierDonnees fichier = ouvrir_fichier_donnees(chemin, c_.source.mode, c_.dialogue);
    if (!fichier.descripteur.ouvert()) return FinExtraction::refusee;
    regles_lignes_.colonnes.clear();
    for (int i = 2; i <= K_ - 1; ++i)
        regles_lignes_.colonnes.push_back(t_.colonne_source[static_cast<std::size_t>(i)]);
    const bool tabulation = d_.RadioGroup_separateur_colonne_ItemIndex == Separateur::tabulation;
    const bool court = tampon.nb_lignes() < lire_entier(d_.Edit_num_ligne_donnee).value_or(0) + 2LL;
    const char nul_par = remplacement_nul(tabulation, car_null_, court, c_.source.mode);

    const bool ordonne = nb_fils() == 1 || LecteurDateMesure::lecture_ordonnee(motif_);
    // This thread is one of the readers: it reads blocks whenever it would otherwise wait.
    const int fils = ordonne ? 1 : nb_fils();
    const std::size_t taille_bloc = c_.lecture.taille_bloc;
    // The blocks in flight, with what their lines gave, are what the run holds of a file.
    const auto par_memoire = static_cast<int>(std::min<std::size_t>(
        64, (std::size_t{32} << 20) / (3 * std::max<std::size_t>(taille_bloc, 1))));
    const int emplacements = ordonne ? 1 : std::max(fils + 1, std::min(2 * fils + 1, par_memoire));
    std::vector<BlocLignes> blocs(static_cast<std::size_t>(emplacements));
    std::vector<LignesLues> lues(static_cast<std::size_t>(emplacements));
    std::vector<std::unique_ptr<AnalyseurLignes>> analyseurs;
    analyseurs.reserve(static_cast<std::size_t>(fils));
    for (int f = 0; f < fils; ++f)
        analyseurs.push_back(
            std::make_unique<AnalyseurLignes>(regles_lignes_, c_.lecteur, ordonne));
    const auto analyser = [&](int fil, int e) {
        const auto u = static_cast<std::size_t>(e);
        try {
            if (!blocs[u].decoupe) blocs[u].decouper(tabulation, nul_par);
            analyseurs[static_cast<std::size_t>(fil)]->analyser(blocs[u], lues[u]);
        } catch (...) {
            lues[u].erreur = std::current_exception();
        }
    };
    // What a block's lines keep once analysed, per line: bounded by the block's size, so that
    // a file of empty lines or a long list of columns does not multiply it.
    const std::size_t par_ligne =
        sizeof(EtatLigne) + sizeof(double) + sizeof(int) + sizeof(std::uint32_t) +
        regles_lignes_.colonnes.size() * (sizeof(double) + 1) +
        (regles_lignes_.garder_date_texte ? 19 : 0) + (regles_lignes_.decalages ? sizeof(int) : 0);
    LecteurBlocs lecteur(fichier.descripteur.fd(), fichier.taille, chemin, taille_bloc,
                         std::max<std::size_t>(16, 2 * taille_bloc / par_ligne));
    // Declared last, so that its threads stop before anything they use goes.
    std::optional<AtelierLignes> atelier;
    if (!ordonne) atelier.emplace(fils - 1, analyser);

    en_inversion_ = c_.lecteur.inversion_signalee != 0;
    long long inversions = 0;
    // This thread cuts the blocks until the data begin, so that the lines before them are
    // known and never read as data.
    long long debut_suivant = 0;
    bool decoupe_ici = true;
    long long pris_debut = 0;
    int remplis = 0, pris = 0;
    bool fin_fichier = false;
    for (;;) {
        while (!fin_fichier && remplis - pris < emplacements) {
            const int e = remplis % emplacements;
            BlocLignes& bloc = blocs[static_cast<std::size_t>(e)];
            if (!lecteur.suivant(bloc)) {
                fin_fichier = true;
                break;
            }
            bloc.decoupe = false;
            bloc.premiere_analysee = 0;
            if (decoupe_ici) {
                bloc.decouper(tabulation, nul_par);
                bloc.decoupe = true;
                bloc.premiere_analysee = static_cast<int>(
                    std::clamp<long long>(plage.premiere - debut_suivant, 0, bloc.nb_lignes()));
                debut_suivant += bloc.nb_lignes();
                decoupe_ici = debut_suivant <= plage.premiere;
            }
            if (atelier)
                atelier->confier(e);
            else
                analyser(0, e);
            ++remplis;
        }
        if (pris == remplis) break;
        const int e = pris % emplacements;
        if (atelier) atelier->attendre(e, fils - 1);
        const LignesLues& l = lues[static_cast<std::size_t>(e)];
        if (l.erreur) std::rethrow_exception(l.erreur);
        const BlocLignes& bloc = blocs[static_cast<std::size_t>(e)];
        const FinExtraction fin = ajouter_bloc(r, bloc, l, pris_debut, plage, comptes);
        inversions += l.nb_inversions;
        if (l.inversion != LignesLues::Inversion::inchangee)
            en_inversion_ = l.inversion == LignesLues::Inversion::en_cours;
        pris_debut += bloc.nb_lignes();
        ++pris;
        if (fin != FinExtraction::complete || arret_) {
            if (fin == FinExtraction::complete) break;
            return fin;
        }
    }
    if (!ordonne) {
        c_.lecteur.nb_dates_inversees += static_cast<int>(inversions);
        c_.lecteur.inversion_signalee = en_inversion_ ? 1 : 0;
    }
    return FinExtraction::complete;
}

// One analysed block's lines into their steps, in file order.
FinExtraction Extraction::ajouter_bloc(int r, const BlocLignes& bloc, const LignesLues& lues,
                                       long long premiere_ligne, const PlageDonnees& plage,
                                       ComptesFichier& comptes) {
    const int total = std::max(1, plage.derniere);
    const std::vector<LignesLues::Evenement>& evenements = lues.evenements;
    std::size_t ev = 0;
    const int nb = bloc.nb_lignes();
    for (int i = 0; i < nb; ++i) {
        const long long index = premiere_ligne + i;
        if (index < plage.premiere) continue;
        if ((index & (lignes_par_controle - 1)) == 0 &&
            controle_arret(r, static_cast<int>(std::min<long long>(index, INT_MAX)), total)) {
            arret_ = true;
            return FinExtraction::complete;
        }
        const int n = static_cast<int>(std::min<long long>(index + 1, INT_MAX));
        const auto ii = static_cast<std::size_t>(i);
        for (; ev < evenements.size() && evenements[ev].ligne == i; ++ev) {
            const LignesLues::Evenement& e = evenements[ev];
            if (e.si_pas_deja_inversee && en_inversion_) continue;
            if (e.probleme)
                c_.journal.ajouter_probleme(e.quoi, e.texte);
            else
                c_.journal.ajouter_suivi(e.texte);
        }
        // The state of inverted dates moves with the lines the block read, in order.
        if (lues.etat[ii] == EtatLigne::illisible) {
            ++comptes.nb_pb;
            rejeter(r, n, bloc.ligne(i));
            if (comptes.nb_pb <= 2)
                c_.journal.ajouter_probleme(ProblemeSuivi::ligne_illisible,
                                            "ligne " + std::to_string(n) + " pb " +
                                                std::string(bloc.ligne(i).substr(0, 30)));
            else if (comptes.nb_pb == 3)
                c_.journal.ajouter_probleme(ProblemeSuivi::lignes_illisibles_suite,
                                            "ligne " + std::to_string(n) + " pb etc ......... ");
            continue;
        }
        if (lues.etat[ii] == EtatLigne::vide) continue;
        // Only readable dates count: an unreadable one reads as 30/12/1899.
        if (lues.instant[ii] > 0) noter_date(lues.instant[ii], n, comptes);

        const std::string_view date_texte = lues.dates.empty()
                                                ? std::string_view{}
                                                : std::string_view(lues.dates).substr(ii * 19, 19);
        double t = lues.instant[ii];
        // A data line whose date could not be read is placed nowhere: the log has said why.
        if (t <= 0 && index <= plage.derniere) rejeter(r, n, bloc.ligne(i));
        if (conversion_ && t > 0) {
            const int d = lues.decalages[ii];
            if (!conversion_->convertir(
                    t, d == LignesLues::sans_decalage ? std::nullopt : std::optional<int>(d))) {
                // The hour the clocks skip in spring: no instant has this local time.
                ++comptes.nb_pb;
                rejeter(r, n, bloc.ligne(i));
                if (++comptes.nb_heures_inexistantes <= 2)
                    c_.journal.ajouter_probleme(ProblemeSuivi::erreur_date,
                                                "ligne " + std::to_string(n) +
                                                    fr(" heure inexistante (passage à l'heure ") +
                                                    fr("d'été) <") + std::string(date_texte) + ">");
                continue;
            }
        }
        t = instant_ligne(t, n, date_texte, comptes);
        int k = lues.etape[ii];
        if (k < 0) {
            const double correction = derive_ ? derive_pente_ * (t - debut_derive_) : 0.0;
            k = etape_de(t_, t + decalage_ + correction, test_strict_, unite_, depart_);
        }
        if (k < 1 || k > t_.N()) continue;

        ++comptes.nb_extraites;
        if (!extraire_champs(k, n, bloc, i, lues, comptes)) return FinExtraction::abandonnee;
        t_.nb_lignes_etape(k) += 1;
    }
    return FinExtraction::complete;
}

void Extraction::noter_date(double t, int n, ComptesFichier& comptes) {
    if (comptes.date_min == 0 || t < comptes.date_min) comptes.date_min = t;
    comptes.date_max = std::max(comptes.date_max, t);
    if (t < comptes.date_lue && comptes.nb_retours++ == 0) {
        comptes.ligne_retour = n;
        comptes.date_retour = t;
        comptes.ligne_avant_retour = comptes.ligne_lue;
        comptes.date_avant_retour = comptes.date_lue;
    }
    comptes.date_lue = t;
    comptes.ligne_lue = n;
}

// The time read from line n with the +1 s / +1 day corrections and the observed-step
// statistics.
double Extraction::instant_ligne(double t, int n, std::string_view date_texte,
                                 ComptesFichier& comptes) {
    // A time that could not be read is before the grid: it is neither corrected nor
    // taken as the previous time, so a line after the end tag counts no correction.
    if (t <= 0) return t;
    const double dt = t - comptes.precedent;
    if (dt > 0 && dt < 6 * pas_) {
        comptes.somme_dt += dt;
        ++comptes.nb_dt;
        comptes.min_dt = std::min(comptes.min_dt, dt);
    }
    // Compared as instants: the previous time may carry a +1 s added in floating point.
    if (plus_1s_ && millisecondes(t) == millisecondes(comptes.precedent)) {
        t += 1.0 / jour_en_secondes;
        if (++comptes.nb_1s <= 2)
            c_.journal.ajouter_probleme(
                ProblemeSuivi::seconde_ajoutee,
                std::to_string(n) + fr(" : + 1s à ") + std::string(date_texte));
    }
    if (plus_1j_ && millisecondes(t) < millisecondes(comptes.precedent)) {
        t += 1.0;
        if (++comptes.nb_1j <= 2)
            c_.journal.ajouter_probleme(
                ProblemeSuivi::jour_ajoute,
                std::to_string(n) + fr(" : + 1j à ") + std::string(date_texte));
    }
    comptes.precedent = t;
    return t;
}

// The extracted fields of line n (line i of the block) into step k; false when the user
// stops the run.
bool Extraction::extraire_champs(int k, int n, const BlocLignes& bloc, int i,
                                 const LignesLues& lues, ComptesFichier& comptes) {
    const int K = K_;
    const std::size_t nb = regles_lignes_.colonnes.size();
    const std::size_t base = static_cast<std::size_t>(i) * nb;
    for (int col = 2; col <= K - 1; ++col) {
        const std::size_t j = base + static_cast<std::size_t>(col) - 2;
        const unsigned char drapeaux = lues.drapeaux[j];
        if ((drapeaux & (LignesLues::pb_conversion | LignesLues::alphanumerique)) != 0) {
            // Rare: the field's text is cut again from its line for the log or the question.
            decouper_champs(bloc.ligne(i), sep_, guillemets_, valeurs_, champs_);
            const std::string_view brut = champ(t_.colonne_source[static_cast<std::size_t>(col)]);
            if ((drapeaux & LignesLues::pb_conversion) != 0 && ++comptes.nb_pb_conversion <= 2)
                c_.journal.ajouter_probleme(
                    ProblemeSuivi::conversion_impossible,
                    "pb conversion <" + std::string(brut) + "> ligne " + std::to_string(n));
            if ((drapeaux & LignesLues::alphanumerique) != 0 &&
                c_.dialogue.question(
                    IdMessage::indice_colonnes_a_extraire,
                    fr("Problème d'indice des colonnes à extraire : \n\nvérifier le n° des "
                       "colonnes alphanumériques à extraire \n\n Annuler ce traitement ?\n\n") +
                        std::string(brut),
                    TypeMessage::avertissement, Boutons::oui_non) == Reponse::oui)
                return false;
        }
        const std::size_t c = t_.indice(k, col);
        // A step is NA in a column only when none of its lines gave a value there:
        // letting the last line decide would write NA over valid measurements.
        if ((drapeaux & LignesLues::na) == 0) {
            t_.na[c] = 0;
            accumuler(t_, k, col, static_cast<long double>(lues.valeurs[j]), methode_);
        } else if (t_.nb_ok[c] == 0) {
            t_.na[c] = 1;
        }
    }
    return true;
}

// The row's counts, the observed step, the time left and the file's problem totals.
void Extraction::conclure_fichier(int r, const PlageDonnees& plage, const ComptesFichier& comptes,
                                  Horloge::time_point debut_fichier) {
    TableFichiers& table = c_.table;
    c_.progression.afficher_progression(
        "3- patienter ... fic-" + std::to_string(r) + "  100%      ",
        Progression::chronometre_traitement);
    res_.Label_nlig_impliquee =
        format_entier_groupe(res_.nb_lignes_extraites) + " lignes extraites";
    table.ecrire_cellule(r, Colonne::nb_donnees,
                         format_entier_groupe(std::max(0, plage.derniere - plage.premiere + 1)));
    const int nb_1j = comptes.nb_1j, nb_1s = comptes.nb_1s;
    table.ecrire_cellule(r, Colonne::correction,
                         nb_1j == 0 && nb_1s == 0 ? std::string("---")
                                                  : "+1jour,s " + std::to_string(nb_1j) + "/" +
                                                        std::to_string(nb_1s) + "x");
    table.ecrire_cellule(r, Colonne::duree, duree_tronquee(secondes_depuis(debut_fichier) + 0.5));
    table.ecrire_cellule(r, Colonne::nb_extraites, std::to_string(comptes.nb_extraites));
    std::string pas_observe(non_lu);
    if (comptes.nb_dt > 0) {
        const double moyenne =
            comptes.somme_dt / static_cast<double>(comptes.nb_dt) * jour_en_secondes;
        const double min_dt = comptes.min_dt;
        const std::string mini = min_dt == minimum_initial || min_dt <= 0
                                     ? std::string(non_lu)
                                     : " " + format_0_0(min_dt * jour_en_secondes) + " s";
        pas_observe = moyenne <= 900 ? " " + ("  " + format_0_0(moyenne) + " s") + " /" + mini
                                     : " " + duree_tronquee(moyenne + (moyenne > 30 ? 0.5 : 0.0)) +
                                           " /" + mini;
    }
    table.ecrire_cellule(r, Colonne::pas_moyen, pas_observe);
    // The listing shows the first and last lines' dates; the run saw every line, so the
    // row gets the earliest and the latest, which a period copied from them must hold.
    if (comptes.date_max > 0) {
        table.ecrire_cellule(r, Colonne::date_dep, date_heure_vers_texte(comptes.date_min));
        table.ecrire_cellule(r, Colonne::date_fin, date_heure_vers_texte(comptes.date_max));
        res_.date_heure_min = std::min(res_.date_heure_min, comptes.date_min);
        res_.date_heure_max = std::max(res_.date_heure_max, comptes.date_max);
    }
    if (comptes.nb_retours > 0)
        c_.journal.ajouter_probleme(
            ProblemeSuivi::dates_desordonnees,
            "dates non chronologiques : la ligne " + std::to_string(comptes.ligne_retour) + " (" +
                date_heure_vers_texte(comptes.date_retour) + fr(") précède la ligne ") +
                std::to_string(comptes.ligne_avant_retour) + " (" +
                date_heure_vers_texte(comptes.date_avant_retour) + ") ; " +
                std::to_string(comptes.nb_retours) +
                (comptes.nb_retours > 1 ? " retours" : " retour") +
                fr(" en arrière dans le fichier"));

    estimer_reste(1.0);
    c_.progression.afficher_progression("3c- patienter ... fic-" + std::to_string(r) + "         ",
                                        Progression::chronometre_traitement);
    JournalSuivi& journal = c_.journal;
    if (comptes.nb_pb)
        journal.ajouter_probleme(ProblemeSuivi::nb_lignes_illisibles,
                                 "nb_pb = " + std::to_string(comptes.nb_pb));
    if (comptes.nb_pb_conversion)
        journal.ajouter_probleme(ProblemeSuivi::nb_conversions_impossibles,
                                 "nb_pb conversion = " + std::to_string(comptes.nb_pb_conversion));
    if (nb_1j)
        journal.ajouter_probleme(ProblemeSuivi::nb_jours_ajoutes,
                                 "nb (+ 1j) = " + std::to_string(nb_1j));
    if (nb_1s)
        journal.ajouter_probleme(ProblemeSuivi::nb_secondes_ajoutees,
                                 "nb (+ 1s) = " + std::to_string(nb_1s));
}

ResultatExtraction Extraction::executer() {
    if (!preparer()) {
        res_.fin = FinExtraction::refusee;
        return res_;
    }
    // Each run estimates its own remaining time.
    c_.inventaire.ko_traites = 0;
    const std::vector<int> lignes = c_.table.lignes_a_traiter();
    // Marked rows only when some are marked, so the first one tells.
    const bool partielle = !lignes.empty() && c_.table.marquee(lignes.front());
    if (partielle || c_.lignes_supprimees) {
        c_.journal.ajouter_suivi("");
        c_.journal.ajouter_probleme(ProblemeSuivi::liste_partielle, "  Liste partielle");
    }

    res_.fin = FinExtraction::complete;
    // The listing after the run reads offsets as it always did.
    struct Remise {
        LecteurDateMesure& lecteur;
        ~Remise() { lecteur.lire_decalage_utc = false; }
    } remise{c_.lecteur};
    for (const int r : lignes)
        res_.fichiers.push_back(
            {std::string(rogner(c_.table.lire_cellule(r, Colonne::sous_repertoire))) +
                 c_.table.lire_cellule(r, Colonne::fichier),
             LectureFichier::aucune});
    bool reference = true;
    for (std::size_t j = 0; j < lignes.size(); ++j) {
        const FinExtraction fin = traiter_fichier(lignes[j], reference);
        if (fin != FinExtraction::complete) {
            res_.fin = fin;
            return res_;
        }
        // A stop seen inside the file left its last lines unread.
        res_.fichiers[j].lecture = arret_ ? LectureFichier::partielle : LectureFichier::entiere;
        ++res_.nb_fichiers;
        c_.progression.traiter_evenements();
        if (arret_ || c_.progression.arret_demande()) {
            res_.fin = FinExtraction::arretee;
            break;
        }
    }
    if (res_.nb_fichiers == 0 || res_.date_heure_min > res_.date_heure_max) {
        res_.date_heure_min = 0;
        res_.date_heure_max = 0;
    }
    res_.Label_date_heure_min = date_heure_vers_texte(res_.date_heure_min);
    res_.Label_date_heure_max = date_heure_vers_texte(res_.date_heure_max);
    return res_;
}

}  // namespace

double decalage_jours(const Description& d, int SpinEdit_decalage_jour) {
    const double heure = d.TimePicker_decalage - std::floor(d.TimePicker_decalage);
    const double decalage = SpinEdit_decalage_jour + heure;
    return d.RadioButton_decalage_negatif ? -decalage : decalage;
}

std::vector<std::string> equivalences_na(std::string_view texte) {
    std::vector<std::string> r;
    std::size_t debut = 0;
    while (r.size() < 7) {
        const std::size_t fin = texte.find(';', debut);
        r.emplace_back(
            rogner(texte.substr(debut, fin == std::string_view::npos ? fin : fin - debut)));
        if (fin == std::string_view::npos) break;
        debut = fin + 1;
    }
    return r;
}

std::optional<std::vector<int>> colonnes_cochees(std::string_view texte, std::string& fautive) {
    std::vector<int> r;
    std::size_t debut = 0;
    for (;;) {
        const std::size_t fin = texte.find_first_of(",;", debut);
        const std::string_view entree =
            rogner(texte.substr(debut, fin == std::string_view::npos ? fin : fin - debut));
        if (!entree.empty()) {
            const std::optional<int> n = lire_entier(entree);
            if (!n || *n < 1) {
                fautive = std::string(entree);
                return std::nullopt;
            }
            r.push_back(*n);
        }
        if (fin == std::string_view::npos) break;
        debut = fin + 1;
    }
    return r;
}

void decouper_champs(std::string_view t, char sep, std::vector<std::string_view>& champs) {
    champs.clear();
    if (t.empty()) return;
    if (sep == ' ') {
        std::size_t i = 0;
        while (champs.size() < static_cast<std::size_t>(champ_max)) {
            while (i < t.size() && t[i] == ' ') ++i;
            if (i >= t.size()) return;
            const std::size_t debut = i;
            while (i < t.size() && t[i] != ' ') ++i;
            champs.push_back(t.substr(debut, i - debut));
        }
        return;
    }
    // As champ_vue: a leading separator ends an empty field 1, a trailing one bounds the last.
    if (t.back() == sep) t.remove_suffix(1);
    const char* const p = t.data();
    const std::size_t n = t.size();
    std::size_t debut = 0;
    const auto ajouter = [&](std::size_t fin) {
        std::string_view champ(p + debut, fin - debut);
        if (!champ.empty() && (champ.front() == ' ' || champ.back() == ' ')) champ = rogner(champ);
        champs.push_back(champ);
        debut = fin + 1;
        return champs.size() < static_cast<std::size_t>(champ_max);
    };
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes compared at once: a line's separators are found in a few steps.
    const __m128i cible = _mm_set1_epi8(sep);
    for (; i + 16 <= n; i += 16) {
        auto masque = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), cible)));
        for (; masque != 0; masque &= masque - 1)
            if (!ajouter(i + static_cast<std::size_t>(std::countr_zero(masque)))) return;
    }
#endif
    for (; i < n; ++i)
        if (p[i] == sep && !ajouter(i)) return;
    ajouter(n);
}

ChampNettoye nettoyer_champ(std::string_view champ, const ReglesChamp& r, std::string& travail) {
    ChampNettoye f;
    if (double v = 0; valeur_simple(champ, r, v)) {
        f.na = false;
        f.valeur = v;
        return f;
    }
    if (hors_seuils(champ, r)) champ = {};
    if (equivalent_na(champ, r)) champ = {};
    // Only a text that was there and is no number is a conversion problem: a missing
    // field or an NA text is just missing.
    if (!champ.empty()) {
        if (est_nombre(champ)) {
            travail = adapter_separateur_decimal(champ, '.');
            champ = travail;
        } else {
            f.pb_conversion = true;
            champ = {};
        }
    }
    f.alphanumerique = champ.find_first_of("/:") != std::string_view::npos;
    if (hors_seuils(champ, r)) champ = {};
    f.na = champ.empty() || equivalent_na(champ, r) || nb_car_numeriques(champ) == 0;
    if (!f.na) {
        std::string& x = travail;
        if (x.data() != champ.data()) x.assign(champ);
        for (char& ch : x)
            if (ch == '<') ch = ' ';
        f.valeur = lire_nombre(x).value_or(0.0);
    }
    return f;
}

int etape_de(const TableEtapes& table, double t, int test_strict, int unite_pas, int& depart) {
    const int N = table.N();
    const std::vector<long long>& date = table.date_ms;
    const long long ms = millisecondes(t);
    if (N < 1 || ms < date[1]) return 0;
    const bool strict = test_strict == 1;
    // The calendar rows hold [D, next D): the last one too, or a day of data would be NA.
    if (strict && unite_pas != unite_hms && ms >= date[static_cast<std::size_t>(N)]) {
        if (ms >= table.fin_ms) return 0;
        depart = N;
        return N;
    }
    if (ms > date[static_cast<std::size_t>(N)]) return 0;
    const auto dedans = [&](int k) {
        const long long a = date[static_cast<std::size_t>(k) - 1];
        const long long b = date[static_cast<std::size_t>(k)];
        return strict ? a <= ms && ms < b : a < ms && ms <= b;
    };
    int trouve = 0;
    // Time-ordered lines land in the same step or a few above it.
    const int k0 = std::clamp(depart, 1, N);
    for (int k = k0; k <= std::min(N, k0 + 16) && trouve == 0; ++k)
        if (dedans(k)) trouve = k;
    if (trouve == 0) {
        // The steps share no time, so the one step that holds t is found by halving.
        const auto premier = date.begin() + 1;
        const auto fin = date.begin() + N + 1;
        const auto p =
            strict ? std::upper_bound(premier, fin, ms) : std::lower_bound(premier, fin, ms);
        const int k = static_cast<int>(p - date.begin());
        if (k >= 1 && k <= N && dedans(k)) trouve = k;
    }
    if (trouve == 0) return 0;
    depart = trouve;
    if (strict && unite_pas != unite_hms) --trouve;
    return trouve;
}

ResultatExtraction extraire_mesures(const ContexteExtraction& contexte, TableEtapes& table_etapes) {
    return Extraction(contexte, table_etapes).executer();
}

}  // namespace tarvo
