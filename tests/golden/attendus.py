#!/usr/bin/env python3
"""Writes the golden cases of tests/golden/cas/ and works out their expected files.

Run it from anywhere with `python3 tests/golden/attendus.py`: it rewrites every case
folder (parametres.txt, description.dsc, synthetic data files, attendu.txt,
suivi_attendu.txt). The expected results come from the small resampler below, written
from the documented rules (grid, bucket rule, corrections, field cleaning, the six
methods, post-processing, formatting) and sharing no code with the program. Real logger
files are not copied: parametres.txt names them and the test copies them from
tests/donnees-reelles.
"""

import calendar
import csv
import datetime as dt
import math
import os
import re
import shutil
import zoneinfo

ICI = os.path.dirname(os.path.abspath(__file__))
CAS = os.path.join(ICI, "cas")
REELS = os.path.join(ICI, "..", "donnees-reelles")
ORIGINE = dt.datetime(1899, 12, 30)

METHODES = ["moyenne des n mesures OK", "ponctuel = dernière mesure OK",
            "max des n  mesures OK ", "min des n  mesures OK ",
            "moy ET si vide = prec+suiv /2", "cumul"]
UNITES = ["hh:mn:ss", "jour", "mois", "année"]

# The keys of a description in the order the program writes them, with the values of a
# plain description; each case overrides a few.
MODELE = [
    ("CheckBox_aide_flottante.Checked", "false"), ("CheckBox_car_null.Checked", "false"),
    ("CheckBox_col_cochee.Checked", "false"),
    ("CheckBox_correction_si_t1egalt2.Checked", "false"),
    ("CheckBox_correction_si_t1supt2.Checked", "false"), ("CheckBox_inc_nom.Checked", "false"),
    ("CheckBox_int_col_alternatif.Checked", "false"), ("CheckBox_prelire_tous.Checked", "false"),
    ("CheckBox_recursif.Checked", "false"), ("CheckBox_post_traitement.Checked", "false"),
    ("CheckBox_decalage_actif.Checked", "false"), ("CheckBox_derive_active.Checked", "false"),
    ("CheckBox_delta_Y.Checked", "false"), ("CheckBox_derivees.Checked", "false"),
    ("CheckBox_cumul_corriger.Checked", "false"),
    ("dossier_choisi_sortie", "@SORTIE@"), ("dossier_choisi", "@DONNEES@"),
    ("dossier_description", "@DESCRIPTIONS@"),
    ("Edit_balise_deb.text", "DATA"), ("Edit_balise_fin.text", "END"),
    ("Edit_col_cochee.text", "1,2,3"), ("Edit_equiv_na.text", "NA;-1;-99999;-99999.0;-99990.0"),
    ("Edit_f_date_fichier.text", ""), ("Edit_f_station.text", ""),
    ("Edit_format_date_mesure_seule.text", "jj/mm/aaaa"),
    ("Edit_format_datetime_mesure.text", "jj/mm/aaaa hh:mn:ss"),
    ("Edit_format_time_mesure_seul.text", "hh:mn:ss"), ("Edit_masque.text", "csv"),
    ("Edit_max_na.text", ""), ("Edit_min_na.text", ""), ("Edit_NA.text", "#N/A"),
    ("Edit_name_prog_blocnote.text", "notepad.exe"), ("Edit_nb_decimale.text", "2"),
    ("Edit_new_desc_colonne.text", ""), ("Edit_nom_fic_sortie.text", "resultat"),
    ("Edit_num_col_date.text", "1"), ("Edit_num_col_datetime.text", "1"),
    ("Edit_num_col_time.text", "2"), ("Edit_num_feuille_excel.text", "1"),
    ("Edit_num_ligne_donnee.text", "2"), ("Edit_num_ligne_intitule_col.text", "1"),
    ("Edit_nmax_lacune.text", "1"), ("Label_nom_feuille.caption", ""),
    ("Label_nom_fic_excel.caption", ""), ("RadioButton_decalage_negatif.Checked", "false"),
    ("RadioButton_decalage_positif.Checked", "true"),
    ("RadioGroup_avec_sans_intitule_ItemIndex", "0"), ("RadioGroup_coul_nb.ItemIndex", "0"),
    ("RadioGroup_datetime_nb_col_ItemIndex", "0"),
    ("RadioGroup_DECIMAL_SEPARATOR_entree_ItemIndex", "0"),
    ("RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex", "0"),
    ("RadioGroup_methode_ItemIndex", "0"), ("RadioGroup_numlig_balise_ItemIndex", "0"),
    ("RadioGroup_separateur_colonne_ItemIndex", "2"),
    ("RadioGroup_separateur_sortie_ItemIndex", "0"),
    ("suite_coche_liste_graph_deriv", ""), ("suite_coche_liste_graph", ""),
    ("TimePicker_decalage", "00:00:00"), ("TimePicker_derive_reelle", "00:00:00"),
    ("TimePicker_derive_erronee", "00:00:00"), ("DateTimePicker_constat_derive", "02/01/1900"),
    ("DateTimePicker_debut_derive", "02/01/1900"), ("Label_min_dsc.caption", "@DEBUT@"),
    ("Label_max_dsc.caption", "@FIN@"), ("Label_pas_dsc.caption", "@PAS@"),
]
# Keys written only by the cases that set them: the others keep today's descriptions, and
# check that a missing key reads as its default.
FACULTATIVES = [("CheckBox_champs_guillemets.Checked", "false"),
                ("Edit_fuseau_mesures.text", ""), ("Edit_fuseau_resultat.text", ""),
                ("Edit_min_mesures_valides.text", "0")]


def cle(nom):
    for k, _ in MODELE:
        if k.split(".")[0] == nom:
            return k
    raise KeyError(nom)


def date(texte):
    return dt.datetime.strptime(texte, "%d/%m/%Y %H:%M:%S")


def secondes(d):
    return round((d - ORIGINE).total_seconds())


def texte_date(s):
    return (ORIGINE + dt.timedelta(seconds=s)).strftime("%d/%m/%Y %H:%M:%S")


def hms(s):
    s = round(s)
    return "%02d:%02d:%02d" % (s // 3600, s // 60 % 60, s % 60)


def ajouter_mois(d, n):
    m = d.month - 1 + n
    return d.replace(year=d.year + m // 12, month=m % 12 + 1)


def grille(p, suivante=False):
    """Grid timestamps in seconds, row 1 first (one step before the start); with suivante,
    also the date one step after the last row."""
    deb, fin, unite, n = date(p["debut"]), date(p["fin"]), p["unite"], p["nombre"]
    t = []
    if unite == 0:
        pas = p["pas"]
        g0 = secondes(deb) - pas
        k = 0
        while g0 + k * pas <= secondes(fin):
            t.append(g0 + k * pas)
            k += 1
        apres = g0 + k * pas
    elif unite == 1:
        x = deb - dt.timedelta(days=n)
        while x <= fin:
            t.append(secondes(x))
            x += dt.timedelta(days=n)
        apres = secondes(x)
    elif unite == 2:
        x = dt.datetime.combine(ajouter_mois(deb, -n).date(), dt.time())
        while x <= fin:
            t.append(secondes(x))
            x = ajouter_mois(x, n)
        apres = secondes(x)
    else:
        x0 = deb - dt.timedelta(days=365 * n)
        k = 0
        while True:
            x = dt.datetime(x0.year + k * n, x0.month, x0.day)
            if x > fin:
                break
            t.append(secondes(x))
            k += 1
        apres = secondes(x)
    return (t, apres) if suivante else t


def pas_jours(p):
    return [p["pas"] / 86400, p["nombre"], 30 * p["nombre"], 365 * p["nombre"]][p["unite"]]


NOMBRE = re.compile(r"^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$")


def est_nombre(f):
    f = f.upper().strip()
    if f.startswith("<"):
        f = f[1:]
    return bool(NOMBRE.match(f.replace(",", ".")))


def lire_reel(f):
    f = f.strip().replace(",", ".")
    try:
        return float(f)
    except ValueError:
        return 0.0


def champs(ligne, sep, guillemets=False):
    if guillemets:
        # Quoted fields as the csv module reads them: separators and "" inside the quotes.
        return [x.strip() for x in next(csv.reader([ligne], delimiter=sep))]
    if sep == " ":
        return ligne.split()
    return ligne.split(sep)


def champ(ligne, n, sep, guillemets=False):
    c = champs(ligne, sep, guillemets)
    return c[n - 1].strip() if 0 < n <= len(c) else ""


def nb_numeriques(f):
    return sum(ch.isdigit() or ch in "+,." for ch in f)


class Cas:
    def __init__(self, nom, **k):
        self.nom = nom
        self.p = dict(unite=0, nombre=1, test=0, decalage_jours=0, pas=3600, reponses=[])
        self.p.update(k.pop("grille"))
        self.dsc = k.pop("dsc", {})
        self.fichiers = k.pop("fichiers", {})  # name -> lines
        self.reel = k.pop("reel", None)  # path below donnees-reelles
        self.lire_date = k.pop("lire_date")  # fields -> datetime text or None
        # fields -> the UTC offset written after the time, in seconds, or None
        self.lire_decalage = k.pop("lire_decalage", lambda f: None)
        self.suivi = k.pop("suivi", [])
        # Whether the expected tracking lines hold the per-column usable counts.
        self.bilan = k.pop("bilan", False)
        assert not k, k

    def reglage(self, nom):
        return self.dsc.get(nom, dict((a.split(".")[0], b) for a, b in MODELE + FACULTATIVES)[nom])


def zone(texte):
    """A zone of the description: a fixed offset or a zone of Python's own database."""
    m = re.fullmatch(r"(UTC|GMT)(?:([+-])(\d\d):?(\d\d))?", texte.strip(), re.I)
    if not m:
        return zoneinfo.ZoneInfo(texte.strip())
    s = 0
    if m.group(2):
        s = (int(m.group(3)) * 3600 + int(m.group(4)) * 60) * (-1 if m.group(2) == "-" else 1)
    return dt.timezone(dt.timedelta(seconds=s))


class Horloge:
    """One file's local times to the result zone, in file order: in an hour the clocks
    repeat, a time that goes back (or repeats) starts the second pass; a time the clocks
    skip gives None."""

    def __init__(self, mesures, resultat):
        self.mesures = zone(mesures) if mesures.strip() else None
        self.resultat = zone(resultat)
        self.prec = None
        self.second = False

    def convertir(self, d, decalage):
        if decalage is not None:
            utc = d.replace(tzinfo=dt.timezone(dt.timedelta(seconds=decalage)))
        elif self.mesures is None:
            return d
        else:
            z = self.mesures
            a = d.replace(tzinfo=z, fold=0)
            b = d.replace(tzinfo=z, fold=1)
            prec, self.prec = self.prec, d
            retour = a.astimezone(dt.timezone.utc).astimezone(z).replace(tzinfo=None)
            if retour != d:
                return None
            double = a.utcoffset() != b.utcoffset()
            if not double:
                self.second = False
            elif not self.second and prec is not None and d <= prec and \
                    prec.replace(tzinfo=z, fold=0).utcoffset() != prec.replace(tzinfo=z, fold=1).utcoffset():
                self.second = True
            utc = b if double and self.second else a
        return utc.astimezone(self.resultat).replace(tzinfo=None)


def calculer(c):
    r = c.reglage
    p = c.p
    sep = {0: ";", 1: " ", 2: ";", 3: ","}[int(r("RadioGroup_separateur_colonne_ItemIndex"))]
    guill = r("CheckBox_champs_guillemets") == "true"
    methode = int(r("RadioGroup_methode_ItemIndex"))
    date_g, apres_g = grille(p, suivante=True)
    N = len(date_g)
    strict = p["test"] == 1
    # The files, in name order, as the listing shows them.
    if c.reel:
        noms = [os.path.basename(c.reel)]
        brut = {noms[0]: open(os.path.join(REELS, c.reel), "rb").read()}
    else:
        noms = sorted(c.fichiers)
        brut = {n: "\r\n".join(c.fichiers[n]).encode("cp1252") + b"\r\n" for n in noms}
    offset = (p["decalage_jours"] + hms_en_s(r("TimePicker_decalage")) / 86400) * 86400
    if r("RadioButton_decalage_negatif") == "true":
        offset = -offset
    derive = r("CheckBox_derive_active") == "true"
    if derive:
        D = hms_en_s(r("TimePicker_derive_reelle")) - hms_en_s(r("TimePicker_derive_erronee"))
        obs = secondes(date(r("DateTimePicker_constat_derive") + " 00:00:00"))
        dd = secondes(date(r("DateTimePicker_debut_derive") + " 00:00:00"))
    na_liste = [e.strip() for e in r("Edit_equiv_na").split(";")][:7]
    mini = r("Edit_min_na")
    maxi = r("Edit_max_na")
    deux_col = r("RadioGroup_datetime_nb_col_ItemIndex") == "1"
    sans = r("RadioGroup_avec_sans_intitule_ItemIndex") == "1"
    balises = r("RadioGroup_numlig_balise_ItemIndex") == "1"
    lignes_etape = [0] * (N + 2)
    cellules = None
    titres = None
    r0 = 0
    for nom in noms:
        texte = lire_texte(brut[nom])
        if sep == ";":
            texte = texte.replace("\t", ";")
        lignes = texte.replace("\r\n", "\n").split("\n")
        if lignes and lignes[-1] == "":
            lignes.pop()
        decal = 0
        if balises:
            decal = next(i for i, l in enumerate(lignes) if r("Edit_balise_deb") in l)
        premiere = decal + int(r("Edit_num_ligne_donnee")) - 1
        r0 = premiere
        if titres is None:
            nb = len(champs(lignes[premiere], sep, guill))
            if sans:
                tous = [chr(ord("A") + i) + str(i + 1) for i in range(nb)]
            else:
                tl = lignes[decal + int(r("Edit_num_ligne_intitule_col")) - 1]
                tous = [x.strip() for x in champs(tl, sep, guill)]
            dates = ([int(r("Edit_num_col_date")), int(r("Edit_num_col_time"))] if deux_col
                     else [int(r("Edit_num_col_datetime"))])
            if r("CheckBox_col_cochee") == "true":
                source = [int(x) for x in r("Edit_col_cochee").split(",") if x.strip()]
            else:
                source = [i for i in range(1, nb + 1) if i not in dates]
            # Converted times say the zone they are written in.
            conv = (" converti en " + r("Edit_fuseau_resultat").strip()
                    if r("Edit_fuseau_resultat").strip() else "")
            if deux_col:
                t1 = tous[dates[0] - 1] + conv
            else:
                dec = ""
                if offset != 0:
                    dec = (" decalage=" + ("-" if offset < 0 else "+") + str(p["decalage_jours"])
                           + "j " + r("TimePicker_decalage"))
                t1 = ("temps(" + tous[dates[0] - 1] + conv + dec
                      + (" inf srict" if strict else " inf ou =") + ")")
            titres = [t1] + [tous[i - 1] for i in source] + [
                "nb(%d)_methode_(%s)" % (N - 1, METHODES[methode])]
            K = len(source)
            na = [[0] * K for _ in range(N + 2)]
            val = [[0.0] * K for _ in range(N + 2)]
            nbok = [[0] * K for _ in range(N + 2)]
        prec = 0
        horloge = Horloge(r("Edit_fuseau_mesures"), r("Edit_fuseau_resultat")) \
            if r("Edit_fuseau_resultat").strip() else None
        for n in range(premiere + 1, len(lignes) + 1):
            ligne = lignes[n - 1]
            if "\0" in ligne or ligne == "":
                continue
            f = champs(ligne, sep, guill)
            txt = c.lire_date(f)
            if txt and horloge:
                d = horloge.convertir(date(txt), c.lire_decalage(f))
                if d is None:
                    continue
                txt = d.strftime("%d/%m/%Y %H:%M:%S")
            t = secondes(date(txt)) if txt else 0
            if t == prec and r("CheckBox_correction_si_t1egalt2") == "true":
                t += 1
            if t < prec and r("CheckBox_correction_si_t1supt2") == "true":
                t += 86400
            prec = t
            corr = 0.0
            if derive and obs != dd:
                corr = D / (obs - dd) * (t - dd)
            tc = t + offset + corr
            k = etape(date_g, tc, strict)
            if k and strict and p["unite"] != 0:
                k -= 1
            elif strict and p["unite"] != 0 and date_g[-1] <= tc < apres_g:
                # The last calendar row holds [its date, the next date) like the others.
                k = N
            if not (1 <= k <= N):
                continue
            for i, col in enumerate(source):
                x = champ(ligne, col, sep, guill)
                x = seuils(x, mini, maxi)
                if x in na_liste:
                    x = ""
                if not est_nombre(x):
                    x = ""
                x = seuils(x, mini, maxi)
                mauvais = x == "" or x in na_liste or nb_numeriques(x) == 0
                # A step is NA in a column only when none of its lines gave a value there.
                if not mauvais:
                    na[k][i] = 0
                elif nbok[k][i] == 0:
                    na[k][i] = 1
                if not mauvais:
                    v = lire_reel(x.replace("<", " "))
                    if methode == 1:
                        val[k][i] = v
                    elif methode == 2:
                        val[k][i] = v if nbok[k][i] == 0 else max(val[k][i], v)
                    elif methode == 3:
                        val[k][i] = v if nbok[k][i] == 0 else min(val[k][i], v)
                    else:
                        val[k][i] += v
                    nbok[k][i] += 1
            lignes_etape[k] += 1
    L = lignes_etape
    K = len(titres) - 2
    minimum = int(r("Edit_min_mesures_valides").strip() or "0")
    mises_na = 0
    for k in range(1, N + 1):
        for i in range(K):
            if minimum > 0 and L[k] and na[k][i] == 0 and nbok[k][i] < minimum:
                na[k][i] = 1
                mises_na += 1
    if methode == 4:
        vide = [L[k] == 0 for k in range(N + 2)]
        for k in range(2, N):
            if not vide[k]:
                continue
            for i in range(K):
                if (not vide[k - 1] and na[k - 1][i] == 0 and L[k + 1] and na[k + 1][i] == 0):
                    L[k] = L[k - 1] + L[k + 1]
                    val[k][i] = val[k - 1][i] + val[k + 1][i]
                    nbok[k][i] = nbok[k - 1][i] + nbok[k + 1][i]
                    na[k][i] = 0
                else:
                    na[k][i] = 1
    for k in range(1, N + 1):
        if L[k] == 0:
            continue
        for i in range(K):
            if methode in (0, 4) and na[k][i] == 0:
                val[k][i] /= max(nbok[k][i], 1)
            if methode == 5 and na[k][i] == 0 and k > 1 and na[k - 1][i] == 0:
                val[k][i] += val[k - 1][i]
    journal = []
    if r("CheckBox_cumul_corriger") == "true":
        for i in range(K):
            inc = [0.0] * (N + 2)
            for k in range(1, N + 1):
                if na[k][i]:
                    na[k][i], val[k][i], nbok[k][i] = 0, 0.0, 1
            for k in range(1, N + 1):
                inc[k] = val[k][i] if k == 1 or val[k][i] >= val[k - 1][i] else 0.0
            dec = [0.0] * (N + 2)
            for k in range(1, N + 1):
                raz = inc[k] == 0 and inc[k - 1] > 0
                dec[k] = inc[k] if k == 1 else (dec[k - 1] + inc[k - 1] if raz else dec[k - 1])
            for k in range(1, N + 1):
                val[k][i] = inc[k] + dec[k]
    if r("CheckBox_post_traitement") == "true":
        try:
            nmax = int(r("Edit_nmax_lacune"))
        except ValueError:
            nmax = 3
        debut = r0 + 1
        total = 0
        for i in range(K):
            journal.append("--> " + titres[i + 1])
            for k in range(debut, N + 1):
                if L[k] == 0 or nbok[k][i] == 0:
                    na[k][i] = 1
            g = None
            premiere_lacune = True
            for k in range(debut, N + 1):
                if na[k][i]:
                    if g is None:
                        g = k
                    continue
                if g is None:
                    continue
                e = k
                if e - g > nmax:
                    journal.append("    ---> régression NON effectuée sur %d données %d-%d" % (e - g, g - 1, e))
                else:
                    for l in range(g, e):
                        if premiere_lacune and g == debut:
                            val[l][i] = val[e][i]
                        else:
                            val[l][i] = val[g - 1][i] + (l - g + 1) * (val[e][i] - val[g - 1][i]) / (e - g + 1)
                        na[l][i], nbok[l][i], L[l] = 0, 1, 2
                        total += 1
                    journal.append("    régression effectuée sur %d données %d-%d" % (e - g, g - 1, e))
                premiere_lacune = False
                g = None
            if g is not None and not (premiere_lacune and g == debut):
                for l in range(g, N + 1):
                    val[l][i] = val[g - 1][i]
                    na[l][i], nbok[l][i], L[l] = 0, 1, 1
                    total += 1
        journal += ["", "  %d interpolations effectuées" % total]
    dy = r("CheckBox_delta_Y") == "true"
    der = r("CheckBox_derivees") == "true" and not dy
    if dy or der:
        for i in range(K):
            prec = 0.0
            for k in range(1, N + 1):
                if k <= 2:
                    prec = val[k][i]
                    val[k][i], na[k][i] = 0.0, 0
                else:
                    ancien = val[k][i]
                    val[k][i] = (ancien - prec) / (pas_jours(p) if der else 1)
                    prec = ancien
    # Formatting.
    osep = ["\t", " ", " \t", ";"][int(r("RadioGroup_separateur_sortie_ItemIndex"))]
    dec = int(r("Edit_nb_decimale"))
    na_txt = r("Edit_NA")
    if na_txt.strip().upper() == "E":
        na_txt = " "
    elif na_txt.strip().upper() == "V":
        na_txt = ""
    virgule = r("RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex") == "0"
    sortie = [osep.join(titres)]
    vides = [0] * K
    for k in range(2, N + 1):
        ligne = texte_date(date_g[k - 1])
        for i in range(K):
            if L[k] == 0 or na[k][i]:
                ligne += osep + na_txt
                vides[i] += 1
            else:
                verifier_arrondi(val[k][i], dec, c.nom)
                ligne += osep + "%5.*f" % (dec, val[k][i])
        ligne += osep + str(L[k])
        if virgule and "," not in ligne:
            ligne = ligne.replace(".", ",")
        if not virgule and "." not in ligne:
            ligne = ligne.replace(",", ".")
        sortie.append(ligne)
    # Tracking lines: the header of the tracking file, then the log in order.
    if p["unite"] == 0:
        pas_txt = hms(p["pas"])
    else:
        pas_txt = "%d %s" % (p["nombre"], UNITES[p["unite"]])
    test_txt = "(inf strict)" if strict else "(inf ou =)"
    suivi = [" méthode de calcul = (" + METHODES[methode] + ")"]
    if dy:
        suivi.append("  calcul des delta Y (rétro cumul)  y(i) - y(i-1) ")
    elif der:
        suivi.append("  calcul des dérivées (rétro cumul) [y(i) - y(i-1)] / pas")
    suivi += [" test des dates = (" + test_txt + ")", " pas = (" + pas_txt + ")",
              " période du " + p["debut"] + " au " + p["fin"],
              " nombre de résultats = %d" % (N - 1)]
    if r("Edit_fuseau_mesures"):
        suivi.append(" fuseau des mesures = (" + r("Edit_fuseau_mesures") + ")")
    if r("Edit_fuseau_resultat"):
        suivi.append(" fuseau du résultat = (" + r("Edit_fuseau_resultat") + ")")
    suivi.append(" Fenêtre de suivi")
    suivi += c.suivi
    if minimum > 0:
        suivi.append("   minimum de %d mesures valides par pas : %d valeurs mises à NA"
                     % (minimum, mises_na))
    if journal:
        suivi += ["---> POST-traitement  sur %d lignes horodatées" % N] + journal
    if dy:
        suivi.append("  calcul des delta Y (rétro cumul)  y(i) - y(i-1)")
    elif der:
        suivi.append("  calcul des dérivées (rétro cumul) [y(i) - y(i-1)] / pas")
    resume = "3- TRAITEMENT EFFECTUÉ  (méthode : " + METHODES[methode] + ")  " + test_txt
    if r("CheckBox_post_traitement") == "true":
        resume += " avec POSTtraitement des %d données extraites" % N
    if r("CheckBox_cumul_corriger") == "true":
        resume += " + avec cumul croissant forcé"
    if r("CheckBox_correction_si_t1supt2") == "true":
        resume += "  correction + 1 j SI t1>t2 "
    if r("CheckBox_correction_si_t1egalt2") == "true":
        resume += "  correction +1s SI t1=t2  "
    suivi.append(resume)
    if r("CheckBox_derive_active") == "true":
        suivi.append("  La dérive des dates de mesure n'est pas nulle")
    if r("CheckBox_decalage_actif") == "true":
        suivi += [" Le décalage des dates de mesure n'est pas nul",
                  "   %s %d j %s" % ("-" if r("RadioButton_decalage_negatif") == "true" else "+",
                                     p["decalage_jours"], r("TimePicker_decalage"))]
    suivi.append(" ========== nombre de résultats - nombre de VIDES(= na)")
    if c.bilan:
        for i in range(K):
            # Counted over the written rows: the leading grid row is never a value.
            suivi.append("%d - %d = %d  <- %s" % (N - 1, vides[i], N - 1 - vides[i], titres[i + 1]))
        s = ""
        if mini:
            s += "  (NA si sup ou = à Min=" + mini + ")  "
        if maxi:
            s += "  (NA si inf ou = à Max=" + maxi + ")  "
        suivi.append("      NOMBRE de VALEURS utilisables = %s%s   issues de *"
                     % (groupes(sum(N - 1 - v for v in vides)), s))
    if sum(vides) < 1:
        suivi.append('      aucune valeur NA ou vides détectée dans l"ensemble du tableau')
    else:
        suivi.append('      nombre de NA ou vides dans l"ensemble du tableau = ' + groupes(sum(vides)))
    suivi.append("  Données horodatée régulières extraites et enregistrées dans    resultat.txt")
    return sortie, suivi, noms, brut


def lire_texte(octets):
    """A file marked by a byte-order mark is read in its encoding, any other as Windows-1252."""
    for marque, codage in ((b"\xef\xbb\xbf", "utf-8"), (b"\xff\xfe", "utf-16-le"),
                           (b"\xfe\xff", "utf-16-be")):
        if octets.startswith(marque):
            return octets[len(marque):].decode(codage)
    return octets.decode("cp1252")


def groupes(n):
    s = str(n)
    out = ""
    while len(s) > 3:
        out = " " + s[-3:] + out
        s = s[:-3]
    return s + out


def verifier_arrondi(v, dec, nom):
    # A value that sits on a rounding tie could be written either way by a wider type.
    x = abs(v) * 10 ** dec
    assert abs(x - math.floor(x) - 0.5) > 1e-6, (nom, v)


def hms_en_s(t):
    h, m, s = (int(x) for x in t.split(":"))
    return h * 3600 + m * 60 + s


def seuils(x, mini, maxi):
    if (mini or maxi) and x != "":
        v = lire_reel(x)
        if (mini and v < lire_reel(mini)) or (maxi and v > lire_reel(maxi)):
            return ""
    return x


def etape(date_g, t, strict):
    for k in range(1, len(date_g) + 1):
        bas = date_g[k - 2] if k > 1 else 0
        if (not strict and bas < t <= date_g[k - 1]) or (strict and bas <= t < date_g[k - 1]):
            return k
    return 0


def ecrire(chemin, lignes):
    with open(chemin, "wb") as f:
        f.write("".join(l + "\r\n" for l in lignes).encode("cp1252"))


def ecrire_cas(c):
    dossier = os.path.join(CAS, c.nom)
    shutil.rmtree(dossier, ignore_errors=True)
    os.makedirs(dossier)
    sortie, suivi, noms, _ = calculer(c)
    p = c.p
    params = ["debut=" + p["debut"], "fin=" + p["fin"], "pas=" + hms(p["pas"]),
              "unite=%d" % p["unite"], "nombre=%d" % p["nombre"], "test=%d" % p["test"],
              "decalage_jours=%d" % p["decalage_jours"], "reponses=" + ",".join(p["reponses"])]
    if c.reel:
        params.append("reel=" + c.reel)
    with open(os.path.join(dossier, "parametres.txt"), "w") as f:
        f.write("\n".join(params) + "\n")
    dsc = []
    for k, v in MODELE:
        v = c.dsc.get(k.split(".")[0], v)
        v = v.replace("@DEBUT@", p["debut"]).replace("@FIN@", p["fin"]).replace("@PAS@", hms(p["pas"]))
        dsc.append(k + "= " + v)
    for k, _ in FACULTATIVES:
        if k.split(".")[0] in c.dsc:
            dsc.append(k + "= " + c.dsc[k.split(".")[0]])
    ecrire(os.path.join(dossier, "description.dsc"), dsc)
    for n in c.fichiers:
        ecrire(os.path.join(dossier, n), c.fichiers[n])
    ecrire(os.path.join(dossier, "attendu.txt"), sortie)
    ecrire(os.path.join(dossier, "suivi_attendu.txt"), suivi)


def jj_mm_aaaa(f):
    return f[0] if len(f) > 0 else None


H = "01/03/2023 "
UNE_COL = jj_mm_aaaa


def h(x):
    return H + x


CAS_LISTE = [
    # Means, NA codes, a step whose last line is NA, an empty step, a time on a boundary.
    Cas("m0_moyenne", grille=dict(debut=h("01:00:00"), fin=h("04:00:00")), lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A;B", h("00:00:00;1;2"), h("00:30:00;4;10"),
                            h("01:00:00;6;NA"), h("01:00:01;7,5;-99999"), h("02:20:00;NA;12"),
                            h("04:00:00;3;-1"), h("04:00:01;9;9")]}),
    # Last value, "(inf strict)" with a 30-minute step: [previous D, D).
    Cas("m1_ponctuel_strict", grille=dict(debut=h("00:30:00"), fin=h("02:00:00"), pas=1800, test=1),
        dsc={"RadioGroup_methode_ItemIndex": "1"}, lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;Niveau", h("00:00:00;5"), h("00:29:59;3"), h("00:30:00;8"),
                            h("01:59:59;2"), h("02:00:00;4")]}),
    # Maximum by day: a first NA line does not make the maximum 0; negative values.
    Cas("m2_max_jour", grille=dict(debut=h("00:00:00"), fin="04/03/2023 00:00:00", unite=1, test=1),
        dsc={"RadioGroup_methode_ItemIndex": "2"}, lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A;B", "28/02/2023 12:00:00;50;50", h("06:00:00;NA;NA"),
                            h("12:00:00;5;-3"), h("18:00:00;7;-2"), "02/03/2023 01:00:00;-5;-7",
                            "02/03/2023 02:00:00;-2;-9", "04/03/2023 10:00:00;1;1"]}),
    # Minimum by month under "(inf ou =)": the grid asks for "(inf strict)", refused.
    Cas("m3_min_mois", grille=dict(debut="01/01/2023 00:00:00", fin="01/04/2023 00:00:00", unite=2,
                                   reponses=["non"]),
        dsc={"RadioGroup_methode_ItemIndex": "3"}, lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;Q", "15/12/2022 08:00:00;5", "01/01/2023 00:00:00;9",
                            "15/01/2023 10:00:00;10", "20/01/2023 10:00:00;4",
                            "31/01/2023 23:59:00;6", "10/02/2023 00:00:00;-3"]}),
    # Mean with isolated empty years filled from both neighbours, by year, "(inf strict)".
    Cas("m4_vide_annee", grille=dict(debut="01/01/2019 00:00:00", fin="01/01/2023 00:00:00",
                                     unite=3, test=1),
        dsc={"RadioGroup_methode_ItemIndex": "4"}, lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A;B", "01/06/2019 00:00:00;10;NA", "01/06/2021 00:00:00;20;4"]}),
    # Running totals, restarted by an NA step and by an empty step; two files in name order.
    Cas("m5_cumul", grille=dict(debut=h("01:00:00"), fin=h("07:00:00")),
        dsc={"RadioGroup_methode_ItemIndex": "5"}, lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;Pluie", h("00:10:00;0,5"), h("00:50:00;0,5"), h("01:30:00;2"),
                            h("02:30:00;3")],
                  "b.csv": ["Date;Pluie", h("03:30:00;NA"), h("04:30:00;4"), h("06:30:00;1"),
                            h("06:40:00;1")]}),
    # A positive offset of one day and one hour; ";" output, decimal point, NA as a blank.
    Cas("decalage", grille=dict(debut="02/03/2023 01:00:00", fin="02/03/2023 03:00:00",
                                decalage_jours=1, reponses=["oui"]),
        dsc={"CheckBox_decalage_actif": "true", "TimePicker_decalage": "01:00:00",
             "RadioGroup_separateur_sortie_ItemIndex": "3",
             "RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex": "1", "Edit_NA": "E"},
        lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;T", "28/02/2023 23:30:00;5", h("00:00:00;7"), h("01:30:00;8,25")]}),
    # A clock 10 minutes late after 10 days: one minute a day, moving two lines a step on.
    Cas("derive", grille=dict(debut="06/03/2023 01:00:00", fin="06/03/2023 03:00:00",
                              reponses=["oui"]),
        dsc={"CheckBox_derive_active": "true", "TimePicker_derive_reelle": "00:10:00",
             "DateTimePicker_constat_derive": "11/03/2023", "DateTimePicker_debut_derive": "01/03/2023"},
        lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A", "06/03/2023 00:50:00;1", "06/03/2023 00:56:00;2",
                            "06/03/2023 01:50:00;4", "06/03/2023 01:56:00;8"]}),
    # Equal times get +1 s, a time that goes back gets +1 day.
    Cas("corrections", grille=dict(debut=h("00:00:00"), fin="03/03/2023 00:00:00", unite=1, test=1),
        dsc={"CheckBox_correction_si_t1egalt2": "true", "CheckBox_correction_si_t1supt2": "true"},
        lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A", h("23:59:59;1"), h("23:59:59;2"), h("00:00:10;3"),
                            "02/03/2023 00:00:10;4"]},
        suivi=["3 : + 1s à 01/03/2023 23:59:59", "4 : + 1j à 01/03/2023 00:00:10",
               "5 : + 1s à 02/03/2023 00:00:10", "nb (+ 1j) = 1", "nb (+ 1s) = 2"]),
    # Thresholds, an own NA list (trimmed entries), "<" in front or behind; NA written empty.
    Cas("seuils_na", grille=dict(debut=h("01:00:00"), fin=h("08:00:00")),
        dsc={"Edit_min_na": "0", "Edit_max_na": "100", "Edit_equiv_na": "NA;9999;ERR; x ",
             "Edit_NA": "V", "Edit_nb_decimale": "1"},
        lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A", h("00:20:00;150"), h("01:10:00;150"),
                            h("01:20:00;20"), h("02:10:00;<3"), h("03:10:00;3<"),
                            h("04:10:00;-5"), h("04:20:00;8"), h("05:10:00;ERR"),
                            h("06:10:00;9999"), h("07:10:00;x"), h("07:20:00;0")]}),
    # The usable-value counts of the tracking file, with both threshold notes.
    Cas("bilan_na_seuils", grille=dict(debut=h("01:00:00"), fin=h("03:00:00")),
        dsc={"Edit_min_na": "-10", "Edit_max_na": "50"}, lire_date=UNE_COL, bilan=True,
        fichiers={"a.csv": ["Date;A;B", h("00:30:00;1;60"), h("01:30:00;-20;2"), h("02:30:00;3;4")]}),
    # Forced growth of counters: drops carry the total forward; an empty and an NA step.
    Cas("croissance_forcee", grille=dict(debut=h("01:00:00"), fin=h("07:00:00")),
        dsc={"CheckBox_cumul_corriger": "true", "RadioGroup_methode_ItemIndex": "2"},
        lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A;B", h("00:30:00;10;1"), h("01:30:00;20;2"), h("02:30:00;30;NA"),
                            h("03:30:00;5;3"), h("04:30:00;15;3"), h("06:30:00;20;1")]}),
    # Gap filling up to two missing steps: backward copy at the start, straight lines,
    # a gap too long, a gap open at the end.
    Cas("lacunes", grille=dict(debut=h("01:00:00"), fin=h("10:00:00")),
        dsc={"CheckBox_post_traitement": "true", "Edit_nmax_lacune": "2"}, lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A;B", h("00:30:00;NA;1"), h("01:30:00;5;2"), h("02:30:00;NA;NA"),
                            h("04:30:00;11;6"), h("08:30:00;NA;NA"),
                            h("10:00:00;NA;12")]}),
    # Delta Y: rows 1 and 2 become 0, an NA step keeps its mark and its value.
    Cas("delta_y", grille=dict(debut=h("01:00:00"), fin=h("05:00:00")),
        dsc={"CheckBox_delta_Y": "true"}, lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A", h("00:00:00;1"), h("00:30:00;3"), h("01:30:00;6"),
                            h("02:30:00;NA"), h("03:30:00;10"), h("04:30:00;16")]}),
    # Derivative per day over a six-hour step, no decimals, "(inf strict)".
    Cas("derivee", grille=dict(debut=h("06:00:00"), fin="02/03/2023 00:00:00", pas=21600, test=1),
        dsc={"CheckBox_derivees": "true", "Edit_nb_decimale": "0"}, lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A", h("00:00:00;1"), h("06:00:00;3"), h("12:00:00;6"),
                            h("18:00:00;10"), h("18:30:00;11")]}),
    # Date and time in two tab-separated columns, chosen columns in reverse order,
    # "espace+ tab" output, decimal point, three decimals.
    Cas("deux_colonnes", grille=dict(debut=h("11:00:00"), fin=h("13:00:00")),
        dsc={"RadioGroup_separateur_colonne_ItemIndex": "0", "RadioGroup_datetime_nb_col_ItemIndex": "1",
             "CheckBox_col_cochee": "true", "Edit_col_cochee": "4,3", "Edit_masque": "txt",
             "RadioGroup_separateur_sortie_ItemIndex": "2",
             "RadioGroup_DECIMAL_SEPARATOR_sortie_ItemIndex": "1", "Edit_nb_decimale": "3"},
        lire_date=lambda f: f[0] + " " + f[1] if len(f) > 1 else None,
        fichiers={"a.txt": ["Jour\tHeure\tX\tY", "01/03/2023\t10:30:00\t3,6\t12,5",
                            "01/03/2023\t11:00:00\t4,4\t-1,25", "01/03/2023\t12:30:00\t0,1\t1000"]}),
    # At least three OK values per hour: a short hour is NA in its column, and the NA
    # counts of the tracking file count it; the line count stays.
    Cas("minimum_valides", grille=dict(debut=h("01:00:00"), fin=h("05:00:00")),
        dsc={"Edit_min_mesures_valides": "3", "Edit_NA": "NA"}, lire_date=UNE_COL, bilan=True,
        fichiers={"a.csv": ["Date;A;B", h("00:20:00;1;1"), h("00:40:00;2;NA"), h("01:00:00;3;3"),
                            h("01:20:00;4;4"), h("01:40:00;5;5"), h("02:00:00;NA;6"),
                            h("03:20:00;7;7"), h("03:40:00;8;8"), h("04:00:00;9;9"),
                            h("04:20:00;10;10"), h("04:40:00;11;11")]}),
    # The same minimum on running totals: a short step restarts the total.
    Cas("minimum_valides_cumul", grille=dict(debut=h("01:00:00"), fin=h("05:00:00")),
        dsc={"Edit_min_mesures_valides": "2", "RadioGroup_methode_ItemIndex": "5"},
        lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;Pluie", h("00:20:00;1"), h("00:40:00;1"), h("01:20:00;2"),
                            h("01:40:00;2"), h("02:20:00;5"), h("03:20:00;1"), h("03:40:00;1"),
                            h("04:20:00;3"), h("04:40:00;3")]}),
    # Summer time begins in Paris: 02:00 to 03:00 local does not exist, those lines are
    # problem lines; the others are written in UTC.
    Cas("fuseau_printemps", grille=dict(debut="31/03/2024 00:00:00", fin="31/03/2024 02:30:00",
                                        pas=1800),
        dsc={"Edit_fuseau_mesures": "Europe/Paris", "Edit_fuseau_resultat": "UTC"},
        lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A", "31/03/2024 00:30:00;1", "31/03/2024 01:00:00;2",
                            "31/03/2024 01:30:00;3", "31/03/2024 02:00:00;40",
                            "31/03/2024 02:30:00;50", "31/03/2024 03:00:00;6",
                            "31/03/2024 03:30:00;7", "31/03/2024 04:00:00;8"]},
        suivi=["ligne 5 heure inexistante (passage à l'heure d'été) <31/03/2024 02:00:00>",
               "ligne 6 heure inexistante (passage à l'heure d'été) <31/03/2024 02:30:00>",
               "nb_pb = 2"]),
    # Summer time ends: 02:00 to 03:00 local twice, the second pass once the clock goes back.
    # Converted first, the times never go back, so no day is added.
    Cas("fuseau_automne", grille=dict(debut="26/10/2024 23:30:00", fin="27/10/2024 02:30:00",
                                      pas=1800),
        dsc={"Edit_fuseau_mesures": "Europe/Paris", "Edit_fuseau_resultat": "UTC",
             "CheckBox_correction_si_t1supt2": "true"},
        lire_date=UNE_COL,
        fichiers={"a.csv": ["Date;A", "27/10/2024 01:30:00;1", "27/10/2024 02:00:00;2",
                            "27/10/2024 02:30:00;3", "27/10/2024 02:00:00;4",
                            "27/10/2024 02:30:00;5", "27/10/2024 03:00:00;6",
                            "27/10/2024 03:30:00;7"]}),
    # A logger at UTC-07:00 (a HOBO title's "GMT-07:00") written in UTC; times that carry
    # their own offset ("Z", "+01:00") keep it.
    Cas("fuseau_fixe_suffixes", grille=dict(debut="01/06/2024 12:00:00", fin="01/06/2024 14:30:00",
                                            pas=1800),
        dsc={"Edit_fuseau_mesures": "GMT-07:00", "Edit_fuseau_resultat": "UTC",
             "Edit_format_datetime_mesure": "jj/mm/aaaa hh:mn:ss souple"},
        lire_date=lambda f: ("%02d/%02d/%s %02d:%s:%s" % (
            int(m.group(1)), int(m.group(2)), m.group(3), int(m.group(4)), m.group(5), m.group(6))
            if f and (m := re.match(r"(\d+)/(\d+)/(\d{4}) (\d+):(\d\d):(\d\d)", f[0])) else None),
        lire_decalage=lambda f: (
            None if not f or not (m := re.search(r"(Z|UTC|GMT|([+-])(\d\d):?(\d\d))\s*$", f[0]))
            else 0 if not m.group(2)
            else (-1 if m.group(2) == "-" else 1) * (int(m.group(3)) * 3600 + int(m.group(4)) * 60)),
        fichiers={"a.csv": ["Date;A", "01/06/2024 4:50:00;1", "01/06/2024 5:10:00;2",
                            "01/06/2024 5:30:00;3", "01/06/2024 12:40:00Z;4",
                            "01/06/2024 14:10:00 +01:00;5", "01/06/2024 6:45:00;6",
                            "01/06/2024 7:20:00 GMT-07:00;7"]}),
    # Real files.
    Cas("reel_diver_balises_sans_titres",
        grille=dict(debut="14/10/2009 16:15:00", fin="14/10/2009 17:45:00", pas=1800),
        reel="vanessen-diver-mon/ff_b29d_091125120713_C4080.MON",
        dsc={"Edit_masque": "MON", "RadioGroup_separateur_colonne_ItemIndex": "1",
             "RadioGroup_avec_sans_intitule_ItemIndex": "1", "Edit_num_ligne_intitule_col": "0",
             "Edit_num_ligne_donnee": "3", "RadioGroup_numlig_balise_ItemIndex": "1",
             "Edit_balise_deb": "[Data]", "Edit_balise_fin": "END OF DATA",
             "RadioGroup_datetime_nb_col_ItemIndex": "1", "Edit_format_date_mesure_seule": "aaaa/mm/jj",
             "Edit_nb_decimale": "3"},
        lire_date=lambda f: (f[0][8:10] + "/" + f[0][5:7] + "/" + f[0][0:4] + " " + f[1][:8]
                             if len(f) > 1 and re.match(r"\d{4}/\d\d/\d\d$", f[0]) else None)),
    Cas("reel_solinst_conductivite",
        grille=dict(debut="27/09/2018 08:00:00", fin="27/09/2018 16:00:00", pas=7200, test=1),
        reel="solinst-levelogger/solinst_conductivity_testfile.csv",
        dsc={"Edit_num_ligne_intitule_col": "14", "Edit_num_ligne_donnee": "15",
             "RadioGroup_datetime_nb_col_ItemIndex": "1", "Edit_format_date_mesure_seule": "aaaa-mm-jj",
             "CheckBox_col_cochee": "true", "Edit_col_cochee": "4,6", "Edit_nb_decimale": "3",
             "RadioGroup_methode_ItemIndex": "3"},
        lire_date=lambda f: (f[0][8:10] + "/" + f[0][5:7] + "/" + f[0][0:4] + " " + f[1]
                             if len(f) > 1 else None)),
    Cas("reel_campbell_toa5",
        grille=dict(debut="29/06/2022 17:15:00", fin="29/06/2022 17:35:00", pas=300),
        reel="campbell-toa5/exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat",
        dsc={"Edit_masque": "dat", "RadioGroup_separateur_colonne_ItemIndex": "3",
             "Edit_num_ligne_intitule_col": "2", "Edit_num_ligne_donnee": "5",
             "Edit_format_datetime_mesure": "aaaa-mm-jj hh:mn:ss", "CheckBox_col_cochee": "true",
             "Edit_col_cochee": "4,6", "Edit_nb_decimale": "3", "RadioGroup_separateur_sortie_ItemIndex": "3",
             "RadioGroup_methode_ItemIndex": "1"},
        lire_date=lambda f: (f[0][9:11] + "/" + f[0][6:8] + "/" + f[0][1:5] + " " + f[0][12:20]
                             if f and re.match(r'"\d{4}-', f[0]) else None)),
    # A database export: every field quoted, decimal commas inside the quotes, rows out of
    # time order, a time zone after the time; daily means of pressure and temperature.
    Cas("reel_watina_guillemets",
        grille=dict(debut="15/02/2019 00:00:00", fin="14/03/2019 00:00:00", unite=1, test=1),
        reel="inbo-watina-csv/BAOL031X_T5740.csv",
        dsc={"RadioGroup_separateur_colonne_ItemIndex": "3", "CheckBox_champs_guillemets": "true",
             "Edit_num_col_datetime": "8",
             "Edit_format_datetime_mesure": "jj/mm/aaaa hh:mn:ss souple",
             "CheckBox_col_cochee": "true", "Edit_col_cochee": "9,10", "Edit_nb_decimale": "4"},
        lire_date=lambda f: (dt.datetime.strptime(" ".join(f[7].split()[:2]), "%d/%m/%Y %H:%M:%S")
                             .strftime("%d/%m/%Y %H:%M:%S") if len(f) > 7 else None)),
    # A logger whose quoted titles hold commas, over unquoted data: the titles stay whole.
    Cas("reel_hobo_titres_guillemets",
        grille=dict(debut="17/06/2021 00:00:00", fin="27/07/2021 00:00:00", unite=1, test=1),
        reel="onset-hobo/QU5_Mooring_15m_20392468_20210803.csv",
        dsc={"RadioGroup_separateur_colonne_ItemIndex": "3", "CheckBox_champs_guillemets": "true",
             "Edit_num_ligne_intitule_col": "2", "Edit_num_ligne_donnee": "3",
             "Edit_num_col_datetime": "2",
             "Edit_format_datetime_mesure": "mm/jj/aa hh:mn:ss AM/PM souple",
             "CheckBox_col_cochee": "true", "Edit_col_cochee": "3", "Edit_nb_decimale": "3"},
        lire_date=lambda f: (dt.datetime.strptime(f[1], "%m/%d/%y %I:%M:%S %p")
                             .strftime("%d/%m/%Y %H:%M:%S") if len(f) > 1 else None)),
]


def main():
    os.makedirs(CAS, exist_ok=True)
    for c in CAS_LISTE:
        ecrire_cas(c)
        print(c.nom)


if __name__ == "__main__":
    main()
