// The record of every option a ".dsc" description file stores, one field per key,
// named after the window control that shows it.
#pragma once

#include <string>

namespace tarvo {

// The radio groups of a description. The file stores a choice as its button's index, so each
// value is that index; a hand-written file may hold any integer, kept as read and refused
// where it is used.
enum class Intitules : int { avec = 0, sans = 1 };
enum class ColonnesDateHeure : int { une = 0, deux = 1 };
enum class DebutDonnees : int { numero_de_ligne = 0, balises = 1 };
enum class Separateur : int { tabulation = 0, espace = 1, point_virgule = 2, virgule = 3 };
enum class MarqueDecimale : int { virgule = 0, point = 1 };
enum class Methode : int {
    moyenne = 0,
    ponctuel = 1,
    max = 2,
    min = 3,
    moyenne_vides = 4,
    cumul = 5
};

// Field names are the description keys (without ".text", ".Checked"…). Texts are
// Windows-1252; times of day are fractions of a day; dates are timestamps. The values
// given here are only zero-initialisation: the defaults come from the key table.
struct Description {
    bool CheckBox_aide_flottante = false;
    bool CheckBox_car_null = false;
    bool CheckBox_col_cochee = false;
    bool CheckBox_correction_si_t1egalt2 = false;
    bool CheckBox_correction_si_t1supt2 = false;
    bool CheckBox_inc_nom = false;
    bool CheckBox_int_col_alternatif = false;
    bool CheckBox_prelire_tous = false;
    bool CheckBox_recursif = false;
    bool CheckBox_post_traitement = false;
    bool CheckBox_decalage_actif = false;
    bool CheckBox_derive_active = false;
    bool CheckBox_delta_Y = false;
    bool CheckBox_derivees = false;
    bool CheckBox_cumul_corriger = false;
    std::string dossier_choisi_sortie;
    std::string dossier_choisi;
    std::string dossier_description;
    std::string Edit_balise_deb;
    std::string Edit_balise_fin;
    std::string Edit_col_cochee;
    std::string Edit_equiv_na;
    std::string Edit_f_date_fichier;
    std::string Edit_f_station;
    std::string Edit_format_date_mesure_seule;
    std::string Edit_format_datetime_mesure;
    std::string Edit_format_time_mesure_seul;
    std::string Edit_masque;
    std::string Edit_max_na;
    std::string Edit_min_na;
    std::string Edit_NA;
    std::string Edit_name_prog_blocnote;
    std::string Edit_nb_decimale;
    std::string Edit_new_desc_colonne;
    std::string Edit_nom_fic_sortie;
    std::string Edit_num_col_date;
    std::string Edit_num_col_datetime;
    std::string Edit_num_col_time;
    std::string Edit_num_feuille_excel;
    std::string Edit_num_ligne_donnee;
    std::string Edit_num_ligne_intitule_col;
    std::string Edit_nmax_lacune;
    std::string Label_nom_feuille;
    std::string Label_nom_fic_excel;
    bool RadioButton_decalage_negatif = false;
    bool RadioButton_decalage_positif = false;
    Intitules RadioGroup_avec_sans_intitule_ItemIndex = Intitules::avec;
    int RadioGroup_coul_nb = 0;
    ColonnesDateHeure RadioGroup_datetime_nb_col_ItemIndex = ColonnesDateHeure::une;
    int RadioGroup_DECIMAL_SEPARATOR_entree_ItemIndex = 0;
    MarqueDecimale RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex = MarqueDecimale::virgule;
    Methode RadioGroup_methode_ItemIndex = Methode::moyenne;
    DebutDonnees RadioGroup_numlig_balise_ItemIndex = DebutDonnees::numero_de_ligne;
    Separateur RadioGroup_separateur_colonne_ItemIndex = Separateur::tabulation;
    int RadioGroup_separateur_sortie_ItemIndex = 0;
    std::string suite_coche_liste_graph_deriv;
    std::string suite_coche_liste_graph;
    double TimePicker_decalage = 0;
    double TimePicker_derive_reelle = 0;
    double TimePicker_derive_erronee = 0;
    double DateTimePicker_constat_derive = 0;
    double DateTimePicker_debut_derive = 0;
    std::string Label_min_dsc;
    std::string Label_max_dsc;
    std::string Label_pas_dsc;
    // Database and spreadsheet exports quote their fields, separators and decimal commas
    // included; off, a quote is a character like any other.
    bool CheckBox_champs_guillemets = false;
    // Zones of the measurement times and of the result ("UTC+01:00", "Europe/Paris");
    // empty result zone: no conversion.
    std::string Edit_fuseau_mesures;
    std::string Edit_fuseau_resultat;
    std::string Edit_min_mesures_valides;
    // The step unit and the date test of the period last processed, beside its start, end and
    // step: "" (hh:mn:ss) or the count and the unit ("2 jour", "1 mois", "3 année"); 0
    // "(inf ou =)", 1 "(inf strict)".
    std::string unite_pas_dsc;
    int test_strict_dsc = 0;

    bool operator==(const Description&) const = default;
};

}  // namespace tarvo
