#!/usr/bin/env python3
"""Writes fuseaux_apres_2037.txt, the conversions fuseaux_test checks after 2037.

Run it with `python3 tests/formats/fuseaux_apres_2037.py`. Past 2037 the system's zone
files give their rule in a footer, not as listed changes; Python's zoneinfo reads that
footer itself, from the same files, and works out every expected time below. For each
zone and year it finds the clock changes (UTC offsets sampled daily, then the exact
second by bisection) and writes, around each change and at two dates far from any:

- lines "m": a local time of the measurements and its UTC time, in file order, so that
  the repeated hour is read twice (summer time, then winter time) and a skipped local time
  expects nothing (a problem line);
- lines "r": a UTC time and the local time of the zone as result zone.

A line "[zone]" starts the lines of one zone; each zone is one file for each direction.
"""

import datetime as dt
import os
import zoneinfo

ICI = os.path.dirname(os.path.abspath(__file__))
SORTIE = os.path.join(ICI, "fuseaux_apres_2037.txt")

# Both hemispheres, a 30-minute change (Lord Howe), a negative summer time (Dublin's
# standard time is summer time: GMT is its winter "daylight saving"), changes at 24:00
# (Santiago), changes listed in the file until 2087 (Casablanca), and a zone whose offset
# no longer changes (Tehran).
ZONES = ["Europe/Paris", "America/New_York", "Australia/Sydney", "Pacific/Auckland",
         "Australia/Lord_Howe", "Europe/Dublin", "America/Santiago", "Africa/Casablanca",
         "Asia/Tehran"]
# The years the issue asks for, then a few past the 400 years of rules a zone library may
# unroll after 2037.
ANNEES = list(range(2038, 2101)) + [2436, 2437, 2438, 2439, 3000]

UTC = dt.timezone.utc
UNE = dt.timedelta(seconds=1)


def texte(d):
    return d.strftime("%d/%m/%Y %H:%M:%S")


def decalage(z, instant):
    return instant.astimezone(z).utcoffset()


def changements(z, annee):
    """The instants of the year (UTC) where the zone's offset changes."""
    resultat = []
    a = dt.datetime(annee, 1, 1, tzinfo=UTC)
    fin = dt.datetime(annee + 1, 1, 1, tzinfo=UTC)
    while a < fin:
        b = a + dt.timedelta(days=1)
        if decalage(z, a) != decalage(z, b):
            bas, haut = a, b  # decalage(bas) != decalage(haut)
            while haut - bas > UNE:
                milieu = bas + (haut - bas) // 2
                if decalage(z, milieu) == decalage(z, bas):
                    bas = milieu
                else:
                    haut = milieu
            resultat.append(haut)
        a = b
    return resultat


def vers_utc(z, local, second_passage):
    """A local time read in the zone: its UTC time, or None when the clocks skip it."""
    premier = local.replace(tzinfo=z, fold=0)
    if premier.astimezone(UTC).astimezone(z).replace(tzinfo=None) != local:
        return None
    lu = local.replace(tzinfo=z, fold=1) if second_passage else premier
    return lu.astimezone(UTC).replace(tzinfo=None)


def lignes_mesures(z, locales):
    """(local, second pass) in file order → lines "m"."""
    lignes = []
    for local, second in locales:
        u = vers_utc(z, local, second)
        lignes.append("m;%s;%s" % (texte(local), texte(u) if u else ""))
    return lignes


def lignes_resultat(z, instants):
    return ["r;%s;%s" % (texte(i.replace(tzinfo=None)), texte(i.astimezone(z)))
            for i in instants]


def autour(z, t):
    """The lines around the change at t: both sides of the gap or of the repeated hour."""
    avant = decalage(z, t - UNE)
    apres = decalage(z, t)
    n = t.replace(tzinfo=None)
    if apres > avant:
        # Local times from n + avant to n + apres do not exist.
        locales = [(n + avant - UNE, False), (n + avant, False), (n + apres - UNE, False),
                   (n + apres, False)]
    else:
        # Local times from n + apres to n + avant are read twice, summer time first.
        locales = [(n + apres - UNE, False), (n + apres, False), (n + avant - UNE, False),
                   (n + apres, True), (n + avant - UNE, True), (n + avant, False)]
    return lignes_mesures(z, locales), lignes_resultat(z, [t - UNE, t])


def main():
    blocs = []
    for nom in ZONES:
        z = zoneinfo.ZoneInfo(nom)
        mesures, resultat = [], []
        for annee in ANNEES:
            # Dated points: two fixed dates in the year and each change, in time order.
            points = [(dt.datetime(annee, m, 15, 12, tzinfo=UTC), None) for m in (1, 7)]
            points += [(t, t) for t in changements(z, annee)]
            for instant, changement in sorted(points, key=lambda p: p[0]):
                if changement is None:
                    local = instant.astimezone(z).replace(tzinfo=None)
                    mesures += lignes_mesures(z, [(local, False)])
                    resultat += lignes_resultat(z, [instant])
                else:
                    m, r = autour(z, changement)
                    mesures += m
                    resultat += r
        blocs.append("[%s]" % nom)
        blocs += mesures + resultat
    with open(SORTIE, "w", newline="\n") as f:
        f.write("# Written by fuseaux_apres_2037.py from Python's zoneinfo: do not edit.\n")
        f.write("# m;local time of the measurements;UTC time (empty: skipped by the clocks)\n")
        f.write("# r;UTC time;local time of the zone as result zone\n")
        f.write("\n".join(blocs) + "\n")


if __name__ == "__main__":
    main()
