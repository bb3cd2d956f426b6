#include "inventory/listing.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <unordered_set>

#include "formats/codes_nom_fichier.h"
#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "inventory/table_fichiers.h"
#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"
#include "plateforme/progression.h"

namespace tarvo {

namespace {

using Horloge = std::chrono::steady_clock;

constexpr std::string_view inconnue = "    ????";
constexpr std::string_view non_lu = " ---";
constexpr std::string_view aucune_donnee = " aucune donnée";

int entier(std::string_view texte) {
    return lire_entier(texte).value_or(0);
}

double secondes_depuis(Horloge::time_point debut) {
    return std::chrono::duration<double>(Horloge::now() - debut).count();
}

// An elapsed time to the nearest second.
std::string duree_arrondie(double secondes) {
    return hh_mm_ss(std::llround(std::max(0.0, secondes)));
}

std::string heure_locale() {
    const std::time_t maintenant = std::time(nullptr);
    std::tm local{};
    localtime_r(&maintenant, &local);
    std::array<char, 16> r{};
    std::strftime(r.data(), r.size(), "%H:%M:%S", &local);
    return r.data();
}

// A listing line: relative directory, "  \t", name, "  \t", size. Cut at the exact
// separators, so that a name's own blanks stay.
struct LigneListe {
    std::string sous_repertoire;
    std::string nom;
    long long taille = 0;
};

LigneListe decouper_ligne_liste(std::string_view ligne) {
    constexpr std::string_view sep = "  \t";
    LigneListe l;
    const std::size_t a = ligne.find(sep);
    const std::size_t b = ligne.rfind(sep);
    if (a == std::string_view::npos || b == a) {
        l.nom = ligne;
        return l;
    }
    l.sous_repertoire = ligne.substr(0, a);
    l.nom = ligne.substr(a + sep.size(), b - a - sep.size());
    l.taille = lire_entier(ligne.substr(b + sep.size())).value_or(0);
    return l;
}

// The date settings, read once per listing.
struct ReglagesDates {
    int nb_colonnes = 1;
    bool guillemets = false;
    int col_datetime = 1, col_date = 1, col_time = 1;
    std::string motif_datetime, motif_date, motif_time;
};

ReglagesDates reglages_dates(const Description& d) {
    ReglagesDates r;
    r.nb_colonnes = nb_colonnes_dates(d);
    r.guillemets = d.CheckBox_champs_guillemets;
    r.col_datetime = entier(d.Edit_num_col_datetime);
    r.col_date = entier(d.Edit_num_col_date);
    r.col_time = entier(d.Edit_num_col_time);
    r.motif_datetime = rogner(d.Edit_format_datetime_mesure);
    r.motif_date = rogner(d.Edit_format_date_mesure_seule);
    r.motif_time = rogner(d.Edit_format_time_mesure_seul);
    return r;
}

struct DateLue {
    std::string champ;        // the date field(s) as read
    std::string description;  // "… en colonne 2", for the questions
    std::string motif;
    std::string resultat;  // canonical text, "??" or empty
};

// The time of one buffer line; a line beyond the buffer gives the empty result.
DateLue lire_date_ligne(const TamponLignes& tampon, int index, const ReglagesDates& r, char sep,
                        LecteurDateMesure& lecteur, JournalSuivi& journal) {
    DateLue d;
    const std::string_view ligne = tampon.ligne(index);
    if (r.nb_colonnes == 1) {
        d.champ = extraire_champ(ligne, r.col_datetime, sep, r.guillemets);
        d.motif = r.motif_datetime;
        d.description = d.champ + " en colonne " + std::to_string(r.col_datetime);
    } else {
        const std::string date = extraire_champ(ligne, r.col_date, sep, r.guillemets);
        const std::string heure = extraire_champ(ligne, r.col_time, sep, r.guillemets);
        d.champ = date + " " + heure;
        d.motif = r.motif_date + " " + r.motif_time;
        d.description = date + " " + heure + " en colonnes " + std::to_string(r.col_date) + "/" +
                        std::to_string(r.col_time);
    }
    if (index >= 0 && index < tampon.nb_lignes())
        lecteur.lire_date_heure_mesure(d.champ, d.motif, d.resultat, journal);
    return d;
}

// The station read from a line and column of the file itself ("LIGNE 3, COLONNE 2").
std::string station_du_contenu(const std::string& chemin, long long taille, const Description& d,
                               ModeEntree mode, TamponLignes& tampon, JournalSuivi& journal,
                               Dialogue& dialogue) {
    const std::string& code = d.Edit_f_station;
    const std::string maj = majuscules(code);
    const int num_ligne = std::max(1, entier_apres_mot(code, "LIGNE", 0));
    const int num_colonne = entier_apres_mot(code, "COLONNE", 0);
    char sep = ' ';
    if (contient(maj, "TABULATION")) sep = '\t';
    if (contient(maj, "VIRGULE")) sep = ',';
    if (contient(maj, "POINT-VIRGULE")) sep = ';';
    // The loader has already turned the tabulations into ";".
    if (sep == '\t' && d.RadioGroup_separateur_colonne_ItemIndex == Separateur::tabulation)
        sep = ';';
    // A line past the head of a big file would read as empty: such a file is loaded whole.
    const auto fenetres = num_ligne <= lignes_tete_garanties
                              ? std::optional<FenetresLecture>(FenetresLecture{})
                              : std::nullopt;
    if (!prelire_fichier(chemin, taille, d, mode, tampon, journal, dialogue, fenetres)) return "a";
    const std::string_view ligne = tampon.ligne(num_ligne - 1);
    return reparer_accents(
        num_colonne < 1 ? std::string(ligne)
                        : extraire_champ(ligne, num_colonne, sep, d.CheckBox_champs_guillemets));
}

class Listage {
public:
    Listage(Description& d, const SourceListage& source, EtatInventaire& etat, TableFichiers& table,
            LecteurDateMesure& lecteur, JournalSuivi& journal, Dialogue& dialogue,
            Progression& progression, Lanceur& lanceur, ResultatListage& resultat)
        : d_(d),
          source_(source),
          etat_(etat),
          table_(table),
          lecteur_(lecteur),
          journal_(journal),
          dialogue_(dialogue),
          progression_(progression),
          lanceur_(lanceur),
          resultat_(resultat) {}

    SuiteListage executer();
    int premiere_ligne_a_lire(const ListeFichiers& liste) const;

private:
    SuiteListage lire_fichier_de_la_liste(int numero, const LigneListe& l);
    SuiteListage prelire(int ligne, const std::string& chemin, const LigneListe& l);
    void afficher_progression(std::string_view message) {
        progression_.afficher_progression(message, Progression::chronometre_liste);
    }
    void terminer();
    // The name the "fichier" column shows.
    std::string nom_affiche(const std::string& nom) const {
        return source_.mode == ModeEntree::classeur        ? d_.Label_nom_fic_excel
               : source_.mode == ModeEntree::presse_papier ? std::string("Presse-papier")
                                                           : nom;
    }

    Description& d_;
    const SourceListage& source_;
    EtatInventaire& etat_;
    TableFichiers& table_;
    LecteurDateMesure& lecteur_;
    JournalSuivi& journal_;
    Dialogue& dialogue_;
    Progression& progression_;
    Lanceur& lanceur_;
    ResultatListage& resultat_;

    Horloge::time_point debut_;
    std::unordered_set<std::string> marques_;
    bool sans_marques_ = true;
    char sep_ = ';';
    ReglagesDates dates_;
    double aujourdhui_ = 0;
    double nom_min_ = 0, nom_max_ = 0;
    double mesure_min_ = 0, mesure_max_ = 0;
    TamponLignes tampon_station_;
};

// Kept whole: the listing, the table reset and the file loop share the list and its counts.
SuiteListage Listage::executer() {
    debut_ = Horloge::now();
    journal_.ajouter_suivi("t0 = " + heure_locale());
    afficher_progression("1- listage, patienter ...");

    // The marks of the table being replaced, by name: a new listing may order the files
    // differently, and the marked files are those the user wants pre-read.
    marques_.clear();
    marques_.insert(etat_.ListBox_fic_coche.begin(), etat_.ListBox_fic_coche.end());
    for (int i = 1; i < table_.nb_lignes(); ++i)
        if (table_.marquee(i)) marques_.insert(table_.lire_cellule(i, Colonne::fichier));
    sans_marques_ = marques_.empty();

    lecteur_.debut_listing();

    AffichageListage& a = etat_.affichage;
    ListeFichiers liste;
    std::string masque;
    if (source_.mode == ModeEntree::fichiers) {
        masque = d_.Edit_masque;
        liste = lister_fichiers(d_.dossier_choisi, masque, d_.CheckBox_recursif);
        for (const ListeFichiers::NonLu& n : liste.non_lus)
            journal_.ajouter_probleme(ProblemeSuivi::fichier_non_lu,
                                      fr("fichier NON LU => ") +
                                          ajouter_antislash(d_.dossier_choisi) + n.chemin +
                                          " : c'est " + n.nature + ", pas un fichier");
    } else {
        masque = source_.mode == ModeEntree::classeur ? "XLSX" : "ppp";
        liste = lister_fichier_converti(source_.copie);
        resultat_.f_modif = false;
    }
    if (liste.nb() == 0) {
        dialogue_.message(IdMessage::aucun_fichier_filtre,
                          fr("aucun fichier ne correspond au filtre <") + citer(masque) + ">" +
                              "\n\n" + " dans " + d_.dossier_choisi,
                          TypeMessage::avertissement);
        a.Label_nb_fic = "0 fichier";
        a.nb_fichiers_listes = "0";
        // The files of the previous listing are not this listing's: no run may take them.
        table_.vider();
        etat_.colonnes = {};
        etat_.tampon_fichier_lu.vider();
        etat_.taille_totale_ko = 0;
        a.taille_totale = "---";
        a.apercu.clear();
        for (std::string* date : {&a.Label_date_min, &a.Label_date_max, &a.Label_date_heure_min,
                                  &a.Label_date_heure_max})
            date->clear();
        resultat_.fin = FinListage::aucun_fichier;
        return SuiteListage::arreter;
    }
    a.Label_nb_fic = std::to_string(liste.nb()) + " fichiers";
    a.nb_fichiers_listes = std::to_string(liste.nb());
    a.Label_nom_de_fichier = liste.premier;
    afficher_progression("patientez...");
    table_.vider();
    a.legende_SpeedButton_lister = legende_bouton_lister(source_.mode, masque);

    sep_ = separateur_entree(d_);
    dates_ = reglages_dates(d_);
    aujourdhui_ = aujourdhui();
    nom_min_ = mesure_min_ = aujourdhui_;
    nom_max_ = mesure_max_ = *date_civile(1900, 1, 1);
    etat_.taille_totale_ko = 0;
    resultat_.tableau_masque = liste.nb() > 150 && !d_.CheckBox_prelire_tous;
    etat_.premiere_ligne_lue = premiere_ligne_a_lire(liste);

    for (int i = 0; i < liste.nb(); ++i) {
        if (progression_.arret_demande()) {
            resultat_.fin = FinListage::interrompu;
            break;
        }
        const SuiteListage suite = lire_fichier_de_la_liste(
            i + 1, decouper_ligne_liste(liste.lignes[static_cast<std::size_t>(i)]));
        if (suite != SuiteListage::continuer) {
            resultat_.fin = FinListage::arrete;
            return suite;
        }
    }
    if (resultat_.fin != FinListage::interrompu) resultat_.fin = FinListage::complet;
    terminer();
    return SuiteListage::continuer;
}

// The first file pre-read is the first marked one, found by name before the loop so that
// the row it held in the previous table is not read in its stead; without marks, the first.
int Listage::premiere_ligne_a_lire(const ListeFichiers& liste) const {
    const auto nom_de = [&](int i) {
        return source_.mode == ModeEntree::fichiers
                   ? decouper_ligne_liste(liste.lignes[static_cast<std::size_t>(i)]).nom
                   : nom_affiche(std::string());
    };
    if (!etat_.ListBox_fic_coche.empty())
        for (int i = 0; i < liste.nb(); ++i)
            if (nom_de(i) == etat_.ListBox_fic_coche.front()) return i + 1;
    if (!sans_marques_)
        for (int i = 0; i < liste.nb(); ++i)
            if (marques_.contains(nom_de(i))) return i + 1;
    return 1;
}

// Kept whole: the cells of one row, written in the order the table shows them.
SuiteListage Listage::lire_fichier_de_la_liste(int numero, const LigneListe& l) {
    journal_.ajouter_suivi(std::to_string(numero) + "  " + l.nom + " -> " + l.sous_repertoire);
    const Horloge::time_point debut_fichier = Horloge::now();
    const ModeEntree mode = source_.mode;
    const std::string chemin = mode == ModeEntree::fichiers ? ajouter_antislash(d_.dossier_choisi) +
                                                                  l.sous_repertoire + l.nom
                                                            : source_.copie;
    const std::string nom = nom_affiche(l.nom);

    const int ligne = table_.ajouter_ligne();
    std::string station;
    if (mode != ModeEntree::presse_papier)
        station = station_depuis_contenu(d_.Edit_f_station)
                      ? station_du_contenu(chemin, l.taille, d_, mode, tampon_station_, journal_,
                                           dialogue_)
                      : lire_code_station(nom, d_.Edit_f_station);
    table_.ecrire_cellule(ligne, Colonne::n, std::to_string(numero));
    table_.ecrire_cellule(ligne, Colonne::fichier, nom);
    table_.ecrire_cellule(ligne, Colonne::sous_repertoire,
                          mode == ModeEntree::classeur        ? d_.dossier_choisi
                          : mode == ModeEntree::presse_papier ? std::string()
                                                              : l.sous_repertoire);
    table_.ecrire_cellule(ligne, Colonne::station, std::move(station));
    if (mode == ModeEntree::fichiers && !rogner(d_.Edit_f_date_fichier).empty()) {
        const DateNomFichier date =
            lire_date_nom_fichier(l.nom, d_.Edit_f_date_fichier, journal_, aujourdhui_);
        // A name without a date says nothing about the period of the files.
        if (!date.texte.empty()) {
            nom_min_ = std::min(nom_min_, date.date);
            nom_max_ = std::max(nom_max_, date.date);
        }
        table_.ecrire_cellule(ligne, Colonne::date_nom_fichier, date.texte);
    }
    const double mo = static_cast<double>(l.taille) / 1024.0 / 1000.0;
    table_.ecrire_cellule(ligne, Colonne::taille, " " + format_0_00(mo));
    etat_.taille_totale_ko += l.taille / 1024;

    const bool a_prelire =
        (d_.CheckBox_prelire_tous && (sans_marques_ || marques_.contains(nom))) ||
        ligne == etat_.premiere_ligne_lue;
    if (a_prelire) {
        const SuiteListage suite = prelire(ligne, chemin, l);
        if (suite != SuiteListage::continuer) return suite;
    } else {
        for (const Colonne c : {Colonne::date_dep, Colonne::date_fin, Colonne::nb_donnees,
                                Colonne::nb_extraites, Colonne::pas_moyen, Colonne::correction,
                                Colonne::nb_colonnes, Colonne::ligne_intitules})
            table_.ecrire_cellule(ligne, c, std::string(non_lu));
    }

    table_.ecrire_cellule(ligne, Colonne::duree, duree_arrondie(secondes_depuis(debut_fichier)));
    afficher_progression("1- listage, patienter ...");
    AffichageListage& a = etat_.affichage;
    const auto total_ko = static_cast<double>(etat_.taille_totale_ko);
    if (etat_.ko_traites > 0) {
        const double ecoule = secondes_depuis(debut_);
        const auto traites = static_cast<double>(etat_.ko_traites);
        a.avancement = "reste " + duree_arrondie(ecoule * total_ko / traites - ecoule) + "    " +
                       format_0_00((total_ko - traites) / 1000.0) + " Mo";
    } else {
        a.avancement = "Total " + format_0_00(total_ko / 1000.0) + " Mo";
    }
    progression_.traiter_evenements();
    return SuiteListage::continuer;
}

// Kept whole: the checks of one pre-read file share its buffer, range and row, in order.
SuiteListage Listage::prelire(int ligne, const std::string& chemin, const LigneListe& l) {
    AffichageListage& a = etat_.affichage;
    const double mo = static_cast<double>(l.taille) / 1024.0 / 1000.0;
    a.Label_nom_de_fichier = normaliser_nom(l.nom);
    a.Label_fic = table_.lire_cellule(ligne, Colonne::n) + "  " + l.nom;
    a.taille_fichier_lu = format_0_00(mo) + " Mo";
    TamponLignes& tampon = etat_.tampon_fichier_lu;
    // Only the ends of a big file are read: the listing looks at nothing else.
    if (!prelire_fichier(chemin, l.taille, d_, source_.mode, tampon, journal_, dialogue_,
                         fenetres_servies(progression_)))
        return SuiteListage::arreter;
    a.apercu = apercu_tampon(tampon);

    for (const Colonne c : {Colonne::nb_extraites, Colonne::pas_moyen, Colonne::correction})
        table_.ecrire_cellule(ligne, c, std::string(non_lu));
    const PlageDonnees plage = plage_donnees(d_, tampon);
    if (tampon.vide() || plage.premiere >= tampon.nb_lignes()) {
        // A file without a data line has no layout to check and no time to read: it is said
        // empty, and the next file gives the columns in its stead.
        table_.ecrire_cellule(ligne, Colonne::date_dep, fr(aucune_donnee));
        table_.ecrire_cellule(ligne, Colonne::date_fin, std::string(inconnue));
        table_.ecrire_cellule(ligne, Colonne::nb_donnees, "0");
        table_.ecrire_cellule(ligne, Colonne::nb_colonnes, std::string(non_lu));
        table_.ecrire_cellule(ligne, Colonne::ligne_intitules, std::string(non_lu));
        if (ligne == etat_.premiere_ligne_lue) ++etat_.premiere_ligne_lue;
        return SuiteListage::continuer;
    }

    etat_.plage = plage;
    // A start tag missing from the file puts the first data line past its end.
    a.nb_lignes_donnees = format_entier_groupe(std::max(0, tampon.nb_lignes() - plage.premiere));
    const SuiteListage suite =
        analyser_intitules(d_, {tampon, plage, chemin, ligne}, etat_.colonnes,
                           {table_, journal_, dialogue_, lanceur_});
    a.texte_nb_colonnes = etat_.colonnes.texte_nb_colonnes;
    if (suite != SuiteListage::continuer) return suite;

    const DateLue premiere =
        lire_date_ligne(tampon, plage.premiere, dates_, sep_, lecteur_, journal_);
    const std::string& r = premiere.resultat;
    if (r.empty() || contient(r, "//") || contient(r, "::")) {
        if (r.empty() && dates_.nb_colonnes == 1 && premiere.champ.size() == 17 &&
            premiere.motif.starts_with("aaaa")) {
            const std::string texte =
                fr("Problème de date de mesure vide\n\nformat actuel :\n") + premiere.motif + "\n" +
                "    " + premiere.description + "\n\n" + fr("format proposé :\n") +
                "20aa/mm/jj-hh:mn:ss   => (Oui)" + "\n\n" + "annuler le traitement => (Annuler)";
            if (dialogue_.question(IdMessage::date_mesure_vide, texte, TypeMessage::avertissement,
                                   Boutons::oui_annuler) == Reponse::oui)
                d_.Edit_format_datetime_mesure = "20aa/mm/jj-hh:mn:ss";
            return SuiteListage::arreter;
        }
        const std::string texte =
            fr("-- Date de la 1ère mesure <") + r + ">\n\n" + premiere.motif + "\n" +
            premiere.description + "\n\n" +
            fr("Problème de date : vérifier les paramètres de la colonne Date/Heure et son "
               "format \n\n") +
            fr("1ères données en ligne ") + std::to_string(plage.premiere + 1) +
            " ? : " + std::string(tampon.ligne(plage.premiere)) + "\n\n" +
            " Ouvrir le fichier et annuler le traitement ?";
        if (dialogue_.question(IdMessage::date_premiere_mesure_illisible, texte,
                               TypeMessage::avertissement, Boutons::oui_non) == Reponse::oui) {
            lanceur_.ouvrir_dans_editeur(chemin);
            return SuiteListage::arreter;
        }
    }
    const DateLue derniere =
        lire_date_ligne(tampon, plage.derniere, dates_, sep_, lecteur_, journal_);

    table_.ecrire_cellule(ligne, Colonne::date_dep, r.empty() ? std::string(inconnue) : r);
    table_.ecrire_cellule(ligne, Colonne::date_fin,
                          derniere.resultat.empty() ? std::string(inconnue) : derniere.resultat);
    // A data range that ends before it begins holds no line, not a negative count.
    table_.ecrire_cellule(ligne, Colonne::nb_donnees,
                          format_entier_groupe(std::max(0, plage.derniere - plage.premiere + 1)));
    std::string canonique;
    // Only readable times move the extremes: an unreadable one would read as 30/12/1899.
    if (const double t = texte_vers_date_heure(r, canonique, journal_); t > 0)
        mesure_min_ = std::min(mesure_min_, t);
    if (const double t = texte_vers_date_heure(derniere.resultat, canonique, journal_); t > 0)
        mesure_max_ = std::max(mesure_max_, t);
    return SuiteListage::continuer;
}

void Listage::terminer() {
    AffichageListage& a = etat_.affichage;
    a.Label_date_min = date_heure_vers_texte(nom_min_);
    a.Label_date_max = date_heure_vers_texte(nom_max_);
    a.Label_date_heure_min = date_heure_vers_texte(mesure_min_);
    a.Label_date_heure_max = date_heure_vers_texte(mesure_max_);
    a.Label_date_min_rouge = !(nom_min_ < nom_max_) || nom_min_ < 2;
    a.Label_date_max_rouge = !(nom_max_ > nom_min_ && nom_max_ >= 3);
    a.nb_fichiers_listes = std::to_string(table_.nb_fichiers());
    a.Label_nb_fic = std::to_string(table_.nb_fichiers()) + " fichiers";
    a.taille_totale = "taille totale " +
                      format_0_00(static_cast<double>(etat_.taille_totale_ko) / 1000.0) + " Mo";
    afficher_progression(" --- ");
    a.Label_col_alternatives = resume_colonnes_extraites(d_, etat_.colonnes.Edit_intitule_origine,
                                                         a.Label_col_alternatives);
}

ResultatListage lister_avec(Description d, const SourceListage& source, EtatInventaire& etat,
                            TableFichiers& table, LecteurDateMesure& lecteur, JournalSuivi& journal,
                            Dialogue& dialogue, Progression& progression, Lanceur& lanceur,
                            const Description& origine) {
    ResultatListage resultat;
    // "Corriger" on titles that look like data runs the listing again with the new option;
    // that answer turns the titles off, so it cannot come twice in a row.
    for (int passe = 0; passe < 3; ++passe) {
        Listage listage(d, source, etat, table, lecteur, journal, dialogue, progression, lanceur,
                        resultat);
        if (listage.executer() != SuiteListage::relancer) break;
    }
    resultat.description_corrigee = !(d == origine);
    if (resultat.description_corrigee) resultat.f_modif = true;
    resultat.description = std::move(d);
    return resultat;
}

}  // namespace

std::string format_0_00(double valeur) {
    if (!std::isfinite(valeur)) return "0";
    const long long centiemes = std::llround(std::fabs(valeur) * 100.0);
    std::string r = centiemes > 0 && valeur < 0 ? "-" : "";
    r += std::to_string(centiemes / 100);
    const long long reste = centiemes % 100;
    if (reste != 0) {
        r += ',';
        r += static_cast<char>('0' + reste / 10);
        if (reste % 10 != 0) r += static_cast<char>('0' + reste % 10);
    }
    return r;
}

ResultatListage lister(const Description& description, const SourceListage& source,
                       EtatInventaire& etat, TableFichiers& table, LecteurDateMesure& lecteur,
                       JournalSuivi& journal, Dialogue& dialogue, Progression& progression,
                       Lanceur& lanceur) {
    return lister_avec(description, source, etat, table, lecteur, journal, dialogue, progression,
                       lanceur, description);
}

ResultatListage lister_fichiers_table(const Description& description, const SourceListage& source,
                                      bool f_modif, EtatInventaire& etat, TableFichiers& table,
                                      LecteurDateMesure& lecteur, JournalSuivi& journal,
                                      Dialogue& dialogue, Progression& progression,
                                      Lanceur& lanceur, const ActionsEtape1& actions) {
    ResultatListage abandon;
    abandon.fin = FinListage::abandon;
    abandon.description = description;
    AffichageListage& a = etat.affichage;

    journal.ajouter_suivi("");
    const std::optional<int> compte = lire_entier(a.nb_fichiers_listes);
    if (compte && *compte > 100 && description.CheckBox_prelire_tous) {
        const std::string texte = fr(" le nombre de fichiers à pré-lire est supérieur à 100 (") +
                                  std::to_string(*compte) + ")\n\n" +
                                  fr(" => très long car <Pré lecture de tous les fichiers> \n\n") +
                                  "  Continuer ?";
        if (dialogue.question(IdMessage::prelecture_plus_de_100_fichiers, texte,
                              TypeMessage::avertissement, Boutons::oui_annuler) != Reponse::oui)
            return abandon;
    }
    progression.afficher_progression("1- listage, patienter ..", Progression::chronometre_liste);
    a.taille_totale = "---";
    a.avancement = "---";

    switch (source.mode) {
        case ModeEntree::classeur: {
            journal.ajouter_suivi("       --> Lire le fichier Excel");
            std::error_code erreur;
            const bool copie_existe = std::filesystem::exists(chemin_natif(source.copie), erreur);
            // Without its copy the listing would only add "fichier inexistant" to the cause.
            if ((!copie_existe || f_modif) && actions.convertir_classeur &&
                !actions.convertir_classeur())
                return abandon;
            break;
        }
        case ModeEntree::presse_papier:
            journal.ajouter_suivi("       --> Lire le presse-papier <" + source.copie + ">");
            if (actions.copier_presse_papier) actions.copier_presse_papier();
            break;
        case ModeEntree::fichiers:
            if (!compte) return abandon;
            journal.ajouter_suivi(*compte < 2 ? std::string("       --> Lire le fichier")
                                              : "       --> Lister les " + std::to_string(*compte) +
                                                    " fichiers et lire le 1er");
            break;
    }

    etat.tampon_fichier_lu.vider();
    if (f_modif && actions.enregistrer_description) actions.enregistrer_description();

    ResultatListage resultat =
        lister(description, source, etat, table, lecteur, journal, dialogue, progression, lanceur);
    restaurer_marques(table, etat.ListBox_fic_coche);
    return resultat;
}

ComptageFichiers compter_fichiers(const Description& description) {
    const ListeFichiers liste = lister_fichiers(description.dossier_choisi, description.Edit_masque,
                                                description.CheckBox_recursif);
    return {liste.nb(), liste.premier};
}

ModeEntree mode_depuis_masque(std::string_view masque) {
    // A name pattern tells its input by its extension: "Station_PPP_*.csv" lists text files.
    const auto point = masque.rfind('.');
    const std::string haut =
        majuscules(point == std::string_view::npos ? masque : masque.substr(point + 1));
    if (contient(haut, "XLS") || contient(haut, "ODS")) return ModeEntree::classeur;
    if (contient(haut, "PPP")) return ModeEntree::presse_papier;
    return ModeEntree::fichiers;
}

std::string legende_bouton_lister(ModeEntree mode, std::string_view masque) {
    switch (mode) {
        case ModeEntree::classeur:
            return "1- Valider le fichier " + std::string(masque);
        case ModeEntree::presse_papier:
            return "1- Valider le presse-papier";
        case ModeEntree::fichiers:
            break;
    }
    return "1- Valider et Lister les fichiers   " + std::string(masque);
}

}  // namespace tarvo
