#include "description/cles_description.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <unordered_map>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"

namespace tarvo {

namespace {

using D = Description;
using F = Forme;
using V = DefautVariable;

// The date every empty picker of the window starts from.
constexpr std::string_view date_vide = "02/01/1900 00:00:00";

constexpr std::array<CleDescription, nb_cles_description> table{{
    {"CheckBox_aide_flottante.Checked", F::booleen, "false", V::aucun, &D::CheckBox_aide_flottante},
    {"CheckBox_car_null.Checked", F::booleen, "false", V::aucun, &D::CheckBox_car_null},
    {"CheckBox_col_cochee.Checked", F::booleen, "false", V::aucun, &D::CheckBox_col_cochee},
    {"CheckBox_correction_si_t1egalt2.Checked", F::booleen, "false", V::aucun,
     &D::CheckBox_correction_si_t1egalt2},
    {"CheckBox_correction_si_t1supt2.Checked", F::booleen, "false", V::aucun,
     &D::CheckBox_correction_si_t1supt2},
    {"CheckBox_inc_nom.Checked", F::booleen, "true", V::aucun, &D::CheckBox_inc_nom},
    {"CheckBox_int_col_alternatif.Checked", F::booleen, "false", V::aucun,
     &D::CheckBox_int_col_alternatif},
    {"CheckBox_prelire_tous.Checked", F::booleen, "false", V::aucun, &D::CheckBox_prelire_tous},
    {"CheckBox_recursif.Checked", F::booleen, "false", V::aucun, &D::CheckBox_recursif},
    {"CheckBox_post_traitement.Checked", F::booleen, "false", V::aucun,
     &D::CheckBox_post_traitement},
    {"CheckBox_decalage_actif.Checked", F::booleen, "false", V::aucun, &D::CheckBox_decalage_actif},
    {"CheckBox_derive_active.Checked", F::booleen, "false", V::aucun, &D::CheckBox_derive_active},
    {"CheckBox_delta_Y.Checked", F::booleen, "false", V::aucun, &D::CheckBox_delta_Y},
    {"CheckBox_derivees.Checked", F::booleen, "false", V::aucun, &D::CheckBox_derivees},
    {"CheckBox_cumul_corriger.Checked", F::booleen, "false", V::aucun, &D::CheckBox_cumul_corriger},
    {"dossier_choisi_sortie", F::dossier, "", V::dossier_programme, &D::dossier_choisi_sortie},
    // The root-relative "." of the old files: the final "/" is added as for any directory.
    {"dossier_choisi", F::dossier, "/.", V::aucun, &D::dossier_choisi},
    {"dossier_description", F::dossier, "", V::dossier_programme, &D::dossier_description},
    {"Edit_balise_deb.text", F::texte, "DATA", V::aucun, &D::Edit_balise_deb},
    {"Edit_balise_fin.text", F::texte, "END", V::aucun, &D::Edit_balise_fin},
    {"Edit_col_cochee.text", F::texte, "1,2,3", V::aucun, &D::Edit_col_cochee},
    {"Edit_equiv_na.text", F::texte, "NA;-1;-99999;-99999.0;-99990.0", V::aucun, &D::Edit_equiv_na},
    {"Edit_f_date_fichier.text", F::texte, "", V::aucun, &D::Edit_f_date_fichier},
    {"Edit_f_station.text", F::texte, "", V::aucun, &D::Edit_f_station},
    {"Edit_format_date_mesure_seule.text", F::texte, "aaaa-mm-jj", V::aucun,
     &D::Edit_format_date_mesure_seule},
    {"Edit_format_datetime_mesure.text", F::texte, "aaaa-mm-jjEhh:mn:ss", V::aucun,
     &D::Edit_format_datetime_mesure},
    {"Edit_format_time_mesure_seul.text", F::texte, "hh:mn:ss", V::aucun,
     &D::Edit_format_time_mesure_seul},
    {"Edit_masque.text", F::texte, "*.csV", V::aucun, &D::Edit_masque},
    {"Edit_max_na.text", F::texte, "", V::aucun, &D::Edit_max_na},
    {"Edit_min_na.text", F::texte, "", V::aucun, &D::Edit_min_na},
    {"Edit_NA.text", F::texte, "", V::aucun, &D::Edit_NA},
    {"Edit_name_prog_blocnote.text", F::texte, "notepad.exe", V::aucun,
     &D::Edit_name_prog_blocnote},
    {"Edit_nb_decimale.text", F::texte, "3", V::aucun, &D::Edit_nb_decimale},
    {"Edit_new_desc_colonne.text", F::texte, "", V::aucun, &D::Edit_new_desc_colonne},
    {"Edit_nom_fic_sortie.text", F::texte, "A", V::aucun, &D::Edit_nom_fic_sortie},
    {"Edit_num_col_date.text", F::texte, "1", V::aucun, &D::Edit_num_col_date},
    {"Edit_num_col_datetime.text", F::texte, "1", V::aucun, &D::Edit_num_col_datetime},
    {"Edit_num_col_time.text", F::texte, "1", V::aucun, &D::Edit_num_col_time},
    {"Edit_num_feuille_excel.text", F::texte, "1", V::aucun, &D::Edit_num_feuille_excel},
    {"Edit_num_ligne_donnee.text", F::texte, "2", V::aucun, &D::Edit_num_ligne_donnee},
    {"Edit_num_ligne_intitule_col.text", F::texte, "1", V::aucun, &D::Edit_num_ligne_intitule_col},
    {"Edit_nmax_lacune.text", F::texte, "1", V::aucun, &D::Edit_nmax_lacune},
    {"Label_nom_feuille.caption", F::texte, "", V::aucun, &D::Label_nom_feuille},
    {"Label_nom_fic_excel.caption", F::texte, "", V::aucun, &D::Label_nom_fic_excel},
    {"RadioButton_decalage_negatif.Checked", F::booleen, "false", V::aucun,
     &D::RadioButton_decalage_negatif},
    {"RadioButton_decalage_positif.Checked", F::booleen, "true", V::aucun,
     &D::RadioButton_decalage_positif},
    {"RadioGroup_avec_sans_intitule_ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_avec_sans_intitule_ItemIndex>()},
    {"RadioGroup_coul_nb.ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_coul_nb>()},
    {"RadioGroup_datetime_nb_col_ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_datetime_nb_col_ItemIndex>()},
    {"RadioGroup_DECIMAL_SEPARATOR_entree_ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_DECIMAL_SEPARATOR_entree_ItemIndex>()},
    {"RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex>()},
    {"RadioGroup_methode_ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_methode_ItemIndex>()},
    {"RadioGroup_numlig_balise_ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_numlig_balise_ItemIndex>()},
    {"RadioGroup_separateur_colonne_ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_separateur_colonne_ItemIndex>()},
    {"RadioGroup_separateur_sortie_ItemIndex", F::indice_radio, "0", V::aucun,
     champ_indice<&D::RadioGroup_separateur_sortie_ItemIndex>()},
    {"suite_coche_liste_graph_deriv", F::texte, "", V::aucun, &D::suite_coche_liste_graph_deriv},
    {"suite_coche_liste_graph", F::texte, "", V::aucun, &D::suite_coche_liste_graph},
    {"TimePicker_decalage", F::heure, date_vide, V::aucun, &D::TimePicker_decalage},
    {"TimePicker_derive_reelle", F::heure, date_vide, V::aucun, &D::TimePicker_derive_reelle},
    {"TimePicker_derive_erronee", F::heure, date_vide, V::aucun, &D::TimePicker_derive_erronee},
    {"DateTimePicker_constat_derive", F::date, date_vide, V::aucun,
     &D::DateTimePicker_constat_derive},
    {"DateTimePicker_debut_derive", F::date, date_vide, V::aucun, &D::DateTimePicker_debut_derive},
    {"Label_min_dsc.caption", F::texte, "", V::maintenant, &D::Label_min_dsc},
    {"Label_max_dsc.caption", F::texte, "", V::maintenant, &D::Label_max_dsc},
    {"Label_pas_dsc.caption", F::texte, "00:15:00", V::aucun, &D::Label_pas_dsc},
    // Keys added after the first 65: a file without them reads as before.
    {"CheckBox_champs_guillemets.Checked", F::booleen, "false", V::aucun,
     &D::CheckBox_champs_guillemets},
    {"Edit_fuseau_mesures.text", F::texte, "", V::aucun, &D::Edit_fuseau_mesures},
    {"Edit_fuseau_resultat.text", F::texte, "", V::aucun, &D::Edit_fuseau_resultat},
    {"Edit_min_mesures_valides.text", F::texte, "0", V::aucun, &D::Edit_min_mesures_valides},
    {"unite_pas_dsc", F::texte, "", V::aucun, &D::unite_pas_dsc},
    {"test_strict_dsc", F::indice_radio, "0", V::aucun, champ_indice<&D::test_strict_dsc>()},
}};

// The member type must be the one the form reads into, and no field or key appears twice:
// with as many keys as the record has fields (checked below), every field has its key.
constexpr bool table_coherente() {
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& c = table[i];
        std::size_t attendu = 0;
        switch (c.forme) {
            case F::booleen:
                attendu = 0;
                break;
            case F::texte:
            case F::dossier:
                attendu = 1;
                break;
            case F::indice_radio:
                attendu = 2;
                break;
            case F::heure:
            case F::date:
                attendu = 3;
                break;
        }
        if (c.champ.index() != attendu) return false;
        for (std::size_t j = i + 1; j < table.size(); ++j)
            if (table[j].champ == c.champ || table[j].cle == c.cle) return false;
    }
    return true;
}
static_assert(table_coherente());

// Binds every field of the record by position: a field added to it breaks this binding,
// and the build stops here until the field has its key above (the count below with it).
[[maybe_unused]] void chaque_champ_a_sa_cle(const Description& d) {
    [[maybe_unused]] const auto& [c01, c02, c03, c04, c05, c06, c07, c08, c09, c10, c11, c12, c13,
                                  c14, c15, c16, c17, c18, c19, c20, c21, c22, c23, c24, c25, c26,
                                  c27, c28, c29, c30, c31, c32, c33, c34, c35, c36, c37, c38, c39,
                                  c40, c41, c42, c43, c44, c45, c46, c47, c48, c49, c50, c51, c52,
                                  c53, c54, c55, c56, c57, c58, c59, c60, c61, c62, c63, c64, c65,
                                  c66, c67, c68, c69, c70, c71] = d;
    static_assert(nb_cles_description == 71);
}

bool meme_texte_sans_casse(std::string_view a, std::string_view b) {
    return a.size() == b.size() && majuscules(a) == majuscules(b);
}

// The value after the first "=" of a line, up to the next one, trimmed.
std::string_view valeur_apres(std::string_view ligne, std::size_t egal) {
    const std::string_view valeur = ligne.substr(egal + 1);
    return rogner(valeur.substr(0, valeur.find('=')));
}

// The value of a line for a key, as the file holds it (not repaired).
std::optional<std::string_view> valeur_si_cle(std::string_view ligne, std::string_view cle) {
    const auto egal = ligne.find('=');
    if (egal == std::string_view::npos || !meme_texte_sans_casse(ligne.substr(0, egal), cle))
        return std::nullopt;
    return valeur_apres(ligne, egal);
}

// Calls f on every line of a text, line ends as in decouper_lignes, without building a
// list: a huge file of empty lines must not cost a view per line.
template <typename Fonction>
void pour_chaque_ligne(std::string_view contenu, Fonction&& f) {
    std::size_t debut = 0;
    while (debut < contenu.size()) {
        const std::size_t fin = contenu.find_first_of("\r\n", debut);
        if (fin == std::string_view::npos) {
            f(contenu.substr(debut));
            return;
        }
        if (!f(contenu.substr(debut, fin - debut))) return;
        debut = fin + 1;
        if (contenu[fin] == '\r' && debut < contenu.size() && contenu[debut] == '\n') ++debut;
    }
}

// The value of the first line of each key, found in one pass over the text.
std::array<std::optional<std::string_view>, nb_cles_description> valeurs_des_cles(
    std::string_view contenu) {
    static const auto index = [] {
        std::unordered_map<std::string, std::size_t> m;
        for (std::size_t i = 0; i < table.size(); ++i) m.emplace(majuscules(table[i].cle), i);
        return m;
    }();
    static const std::size_t longueur_max = [] {
        std::size_t n = 0;
        for (const auto& c : table) n = std::max(n, c.cle.size());
        return n;
    }();
    std::array<std::optional<std::string_view>, nb_cles_description> valeurs;
    std::size_t trouvees = 0;
    pour_chaque_ligne(contenu, [&](std::string_view ligne) {
        const auto egal = ligne.find('=');
        if (egal == std::string_view::npos || egal > longueur_max) return true;
        const auto it = index.find(majuscules(ligne.substr(0, egal)));
        if (it == index.end() || valeurs[it->second]) return true;
        valeurs[it->second] = valeur_apres(ligne, egal);
        return ++trouvees < valeurs.size();
    });
    return valeurs;
}

std::string message_entier_incorrect(std::string_view valeur) {
    std::string m = fr("'%s' n'est pas une valeur entière correcte");
    return m.replace(m.find("%s"), 2, valeur);
}

// Puts one value into its field as its form reads it; false with the message when a radio
// index is not an integer.
bool appliquer(const CleDescription& c, const std::string& valeur, Description& d,
               JournalSuivi& journal, std::string& erreur) {
    switch (c.forme) {
        case F::booleen:
            // Only the exact text the writer emits checks the box.
            d.*std::get<bool D::*>(c.champ) = texte_vers_bool(valeur);
            return true;
        case F::texte:
            d.*std::get<std::string D::*>(c.champ) = valeur;
            return true;
        case F::dossier:
            d.*std::get<std::string D::*>(c.champ) = ajouter_antislash(valeur);
            return true;
        case F::indice_radio: {
            const auto n = lire_entier(valeur);
            if (!n) {
                erreur = message_entier_incorrect(valeur);
                return false;
            }
            std::get<ChampIndice>(c.champ).ecrire(d, *n);
            return true;
        }
        case F::heure:
            d.*std::get<double D::*>(c.champ) = lire_heure(valeur, journal);
            return true;
        case F::date: {
            std::string canonique;
            d.*std::get<double D::*>(c.champ) = texte_vers_date_heure(valeur, canonique, journal);
            return true;
        }
    }
    return true;
}

// A line end inside a value would be read back as a line of its own, possibly another key.
std::string sur_une_ligne(std::string_view texte) {
    std::string s(texte);
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

long long secondes_du_jour(double jours) {
    if (!std::isfinite(jours)) return 0;
    const double fraction = jours - std::floor(jours);
    return std::llround(fraction * jour_en_secondes) % secondes_par_jour;
}

}  // namespace

std::span<const CleDescription> cles_description() {
    return table;
}

std::string texte_defaut(const CleDescription& cle, const ContexteDescription& contexte) {
    switch (cle.variable) {
        case V::dossier_programme:
            return ajouter_antislash(contexte.dossier_programme);
        case V::maintenant:
            return date_heure_vers_texte(contexte.maintenant);
        case V::aucun:
            break;
    }
    return std::string(cle.defaut);
}

Description description_par_defaut(const ContexteDescription& contexte) {
    Description d;
    JournalSuivi journal;
    std::string erreur;
    for (const auto& c : table) appliquer(c, texte_defaut(c, contexte), d, journal, erreur);
    return d;
}

std::optional<LigneCle> chercher_cle(const std::vector<std::string>& liste_cles,
                                     std::string_view cle) {
    for (std::size_t i = 0; i < liste_cles.size(); ++i)
        if (const auto valeur = valeur_si_cle(liste_cles[i], cle)) return LigneCle{i, *valeur};
    return std::nullopt;
}

std::string lire_cle(const std::vector<std::string>& liste_cles, std::string_view cle,
                     std::string_view defaut) {
    const auto trouve = chercher_cle(liste_cles, cle);
    return reparer_accents(trouve ? trouve->valeur : defaut);
}

std::string ecrire_description_texte(const Description& d) {
    std::string texte;
    for (const auto& c : table) {
        texte.append(c.cle).append("= ");
        switch (c.forme) {
            case F::booleen:
                texte.append(bool_vers_texte(d.*std::get<bool D::*>(c.champ)));
                break;
            case F::texte:
            case F::dossier:
                texte.append(sur_une_ligne(d.*std::get<std::string D::*>(c.champ)));
                break;
            case F::indice_radio:
                texte.append(std::to_string(std::get<ChampIndice>(c.champ).lire(d)));
                break;
            case F::heure:
                texte.append(ecrire_heure(d.*std::get<double D::*>(c.champ)));
                break;
            case F::date:
                texte.append(ecrire_date(d.*std::get<double D::*>(c.champ)));
                break;
        }
        texte.append("\r\n");
    }
    return texte;
}

bool contient_une_cle(std::string_view contenu) {
    if (contenu.starts_with("\xEF\xBB\xBF")) contenu.remove_prefix(3);
    const auto valeurs = valeurs_des_cles(contenu);
    return std::any_of(valeurs.begin(), valeurs.end(), [](const auto& v) { return v.has_value(); });
}

ResultatLecture lire_description_texte(std::string_view contenu, Description& d,
                                       const ContexteDescription& contexte, JournalSuivi& journal) {
    // An editor that saved the file as UTF-8 may have put a mark before the first key.
    if (contenu.starts_with("\xEF\xBB\xBF")) contenu.remove_prefix(3);
    const auto valeurs = valeurs_des_cles(contenu);
    ResultatLecture resultat;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::string valeur = valeurs[i] ? reparer_accents(*valeurs[i])
                                              : reparer_accents(texte_defaut(table[i], contexte));
        if (!appliquer(table[i], valeur, d, journal, resultat.erreur)) break;
    }
    return resultat;
}

double lire_heure(std::string_view texte, JournalSuivi& journal) {
    std::string canonique;
    // The picker is given the timestamp plus one day and keeps its time of day only.
    const double t = texte_vers_date_heure(texte, canonique, journal) + 1.0;
    return static_cast<double>(secondes_du_jour(t)) / jour_en_secondes;
}

std::string ecrire_heure(double heure) {
    return hh_mm_ss(secondes_du_jour(heure));
}

std::string ecrire_date(double date) {
    std::string texte = date_heure_vers_texte(date);
    if (texte.ends_with(" 00:00:00")) texte.resize(10);
    return texte;
}

}  // namespace tarvo
