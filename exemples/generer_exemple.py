#!/usr/bin/env python3
"""Writes the shipped example: three downloads of one river probe (water level,
temperature, conductivity every 10 minutes, 1 to 15 June 2024) and the description that
turns them into an hourly series.

The files hold what real downloads hold: a title line, comma decimals, the "-9999" code
and "NA" for missing values, a six-hour gap (battery change), the last record of a
download repeated at the start of the next one and a record written twice.
Deterministic: running it again rewrites the same bytes.

    python3 exemples/generer_exemple.py [DOSSIER]      (default: this script's folder)
"""
import math
import random
import sys
from datetime import datetime, timedelta
from pathlib import Path

DEBUT = datetime(2024, 6, 1)
PAS = timedelta(minutes=10)
TITRE = "Station Le Gué (Vilaine amont) - sonde CTD n°3 - téléchargement du {}"
INTITULES = "Date Heure;Niveau (m);Température (°C);Conductivité (µS/cm)"
# Three downloads: [start, end] of each, the next one starting on the previous end.
TELECHARGEMENTS = [
    (datetime(2024, 6, 1, 0, 0), datetime(2024, 6, 5, 12, 0)),
    (datetime(2024, 6, 5, 12, 0), datetime(2024, 6, 10, 9, 0)),
    (datetime(2024, 6, 10, 9, 0), datetime(2024, 6, 15, 0, 0)),
]
LACUNE = (datetime(2024, 6, 7, 14, 10), datetime(2024, 6, 7, 20, 0))  # no record inside
DOUBLON = datetime(2024, 6, 12, 8, 30)  # this record is written twice


def virgule(valeur, decimales):
    return f"{valeur:.{decimales}f}".replace(".", ",")


def mesures(t, alea):
    """Level with a flood on 8-9 June, daily temperature cycle, conductivity diluted by
    the flood."""
    heures = (t - DEBUT).total_seconds() / 3600
    crue = 0.85 * math.exp(-(((heures - 190) / 14) ** 2))
    niveau = 1.20 + 0.03 * math.sin(2 * math.pi * heures / 12.42) + crue + alea.gauss(0, 0.004)
    temperature = 15.5 + 0.08 * heures / 24 + 2.1 * math.sin(2 * math.pi * (heures - 9) / 24)
    temperature += alea.gauss(0, 0.05)
    conductivite = 432 - 160 * crue + alea.gauss(0, 2.5)
    return niveau, temperature, conductivite


def lignes_fichier(debut, fin, alea):
    lignes = [TITRE.format(fin.strftime("%d/%m/%Y")), INTITULES]
    t = debut
    while t <= fin:
        if LACUNE[0] <= t < LACUNE[1]:
            t += PAS
            continue
        niveau, temperature, conductivite = mesures(t, alea)
        champs = [t.strftime("%d/%m/%Y %H:%M:%S"), virgule(niveau, 3), virgule(temperature, 2),
                  virgule(conductivite, 0)]
        # The probe writes its codes for a value it could not measure.
        minutes = int((t - DEBUT).total_seconds() // 60)
        if minutes % 1440 == 600:  # the daily self-test at 10:00 leaves no conductivity
            champs[3] = "-9999"
        if t == datetime(2024, 6, 3, 4, 20):
            champs[2] = "NA"
        ligne = ";".join(champs)
        lignes.append(ligne)
        if t == DOUBLON:
            lignes.append(ligne)
        t += PAS
    return lignes


# The description, key by key in the order the program writes them.
DESCRIPTION = [
    ("CheckBox_aide_flottante.Checked", "false"),
    ("CheckBox_car_null.Checked", "false"),
    ("CheckBox_col_cochee.Checked", "false"),
    ("CheckBox_correction_si_t1egalt2.Checked", "false"),
    ("CheckBox_correction_si_t1supt2.Checked", "false"),
    ("CheckBox_inc_nom.Checked", "false"),
    ("CheckBox_int_col_alternatif.Checked", "false"),
    ("CheckBox_prelire_tous.Checked", "false"),
    ("CheckBox_recursif.Checked", "false"),
    ("CheckBox_post_traitement.Checked", "false"),
    ("CheckBox_decalage_actif.Checked", "false"),
    ("CheckBox_derive_active.Checked", "false"),
    ("CheckBox_delta_Y.Checked", "false"),
    ("CheckBox_derivees.Checked", "false"),
    ("CheckBox_cumul_corriger.Checked", "false"),
    # Directories relative to the description's own folder, so that the example works
    # wherever it is copied.
    ("dossier_choisi_sortie", "EXPORT/"),
    ("dossier_choisi", "./"),
    ("dossier_description", "./"),
    ("Edit_balise_deb.text", "DATA"),
    ("Edit_balise_fin.text", "END"),
    ("Edit_col_cochee.text", "2,3,4"),
    ("Edit_equiv_na.text", "NA;-9999"),
    ("Edit_f_date_fichier.text", ""),
    ("Edit_f_station.text", ""),
    ("Edit_format_date_mesure_seule.text", "jj/mm/aaaa"),
    ("Edit_format_datetime_mesure.text", "jj/mm/aaaa hh:mn:ss"),
    ("Edit_format_time_mesure_seul.text", "hh:mn:ss"),
    ("Edit_masque.text", "*.csv"),
    ("Edit_max_na.text", ""),
    ("Edit_min_na.text", ""),
    ("Edit_NA.text", "NA"),
    ("Edit_name_prog_blocnote.text", ""),
    ("Edit_nb_decimale.text", "3"),
    ("Edit_new_desc_colonne.text", ""),
    ("Edit_nom_fic_sortie.text", "LeGue_horaire"),
    ("Edit_num_col_date.text", "1"),
    ("Edit_num_col_datetime.text", "1"),
    ("Edit_num_col_time.text", "2"),
    ("Edit_num_feuille_excel.text", "1"),
    ("Edit_num_ligne_donnee.text", "3"),
    ("Edit_num_ligne_intitule_col.text", "2"),
    ("Edit_nmax_lacune.text", "1"),
    ("Label_nom_feuille.caption", ""),
    ("Label_nom_fic_excel.caption", ""),
    ("RadioButton_decalage_negatif.Checked", "false"),
    ("RadioButton_decalage_positif.Checked", "true"),
    ("RadioGroup_avec_sans_intitule_ItemIndex", "0"),
    ("RadioGroup_coul_nb.ItemIndex", "0"),
    ("RadioGroup_datetime_nb_col_ItemIndex", "0"),
    ("RadioGroup_DECIMAL_SEPARATOR_entree_ItemIndex", "0"),
    ("RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex", "0"),
    ("RadioGroup_methode_ItemIndex", "0"),  # mean of the valid values
    ("RadioGroup_numlig_balise_ItemIndex", "0"),
    ("RadioGroup_separateur_colonne_ItemIndex", "2"),  # ";"
    ("RadioGroup_separateur_sortie_ItemIndex", "3"),  # ";"
    ("suite_coche_liste_graph_deriv", ""),
    ("suite_coche_liste_graph", ""),
    ("TimePicker_decalage", "00:00:00"),
    ("TimePicker_derive_reelle", "00:00:00"),
    ("TimePicker_derive_erronee", "00:00:00"),
    ("DateTimePicker_constat_derive", "02/01/1900"),
    ("DateTimePicker_debut_derive", "02/01/1900"),
    ("Label_min_dsc.caption", "01/06/2024 00:00:00"),
    ("Label_max_dsc.caption", "15/06/2024 00:00:00"),
    ("Label_pas_dsc.caption", "01:00:00"),
    ("CheckBox_champs_guillemets.Checked", "false"),
    ("Edit_fuseau_mesures.text", ""),
    ("Edit_fuseau_resultat.text", ""),
    ("Edit_min_mesures_valides.text", "0"),
    ("unite_pas_dsc", ""),
    ("test_strict_dsc", "0"),
]


def ecrire(chemin, lignes):
    # Windows-1252 and CR LF, as the loggers' software and the program write them.
    chemin.write_bytes("".join(l + "\r\n" for l in lignes).encode("cp1252"))


def main():
    dossier = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    dossier.mkdir(parents=True, exist_ok=True)
    alea = random.Random(20240601)
    for debut, fin in TELECHARGEMENTS:
        ecrire(dossier / f"LeGue_{debut:%Y-%m-%d}.csv", lignes_fichier(debut, fin, alea))
    ecrire(dossier / "LeGue_horaire.dsc", [f"{cle}= {valeur}" for cle, valeur in DESCRIPTION])


if __name__ == "__main__":
    main()
