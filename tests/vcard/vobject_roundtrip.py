#!/usr/bin/python3
"""vobject as the independent vCard reader and writer of the vCard tests.

  vobject_roundtrip.py read FILE                       prints FILE's cards as a JSON list
  vobject_roundtrip.py write VERSION JSON_FILE OUT_FILE  writes such a list as vCards

A contact is one string: its thirteen columns in the order of the CSV export, "P" or
"B" for its type and its uid, joined by "|"; line breaks are CR LF, as stored.
"""
import json
import sys

import vobject


def stored(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def types(line):
    return {t.strip().upper() for p in line.params.get("TYPE", []) for t in p.split(",")}


def read(path):
    with open(path, encoding="utf-8", newline="") as f:
        cards = list(vobject.readComponents(f.read()))
    contacts = []
    for card in cards:
        get = card.contents.get
        c = [""] * 13 + ["P", card.uid.value.removeprefix("urn:uuid:")]
        if get("n"):
            n = card.n.value
            c[0:3] = n.given, n.additional, n.family
        if get("adr"):
            a = card.adr.value
            c[3:7] = a.street, a.city, a.region, a.code
        for tel in get("tel", []):
            kinds = types(tel)
            i = 9 if "CELL" in kinds else 7 if "WORK" in kinds else 8 if "HOME" in kinds else None
            if i and not c[i]:
                c[i] = tel.value
        if get("email"):
            c[10] = card.email.value
        if get("x-orvanta-guardian"):
            c[11] = get("x-orvanta-guardian")[0].value
        c[12] = "\n".join(note.value for note in get("note", []))
        if any(v.lower() == "business" for cat in get("categories", []) for v in cat.value):
            c[13] = "B"
        contacts.append("|".join(stored(v) for v in c))
    json.dump(contacts, sys.stdout, ensure_ascii=False)


def write(version, json_path, out_path):
    with open(json_path, encoding="utf-8") as f:
        contacts = [line.replace("\r\n", "\n").split("|") for line in json.load(f)]
    cards = []
    for first, middle, last, street, city, state, code, work, home, cell, email, guardian, \
            comments, kind, uid in contacts:
        card = vobject.vCard()
        if version == "4.0":
            card.add("version").value = "4.0"
        card.add("uid").value = uid
        card.add("fn").value = " ".join(x for x in (first, middle, last) if x)
        card.add("n").value = vobject.vcard.Name(family=last, given=first, additional=middle)
        if street or city or state or code:
            card.add("adr").value = vobject.vcard.Address(
                street=street, city=city, region=state, code=code)
        for number, kind_param in ((work, "WORK"), (home, "HOME"), (cell, "CELL")):
            if number:
                tel = card.add("tel")
                tel.value, tel.type_param = number, kind_param
        for name, value in (("email", email), ("x-orvanta-guardian", guardian),
                            ("note", comments)):
            if value:
                card.add(name).value = value
        card.add("categories").value = ["Business" if kind == "B" else "Personal"]
        cards.append(card.serialize())
    with open(out_path, "w", encoding="utf-8", newline="") as f:
        f.write("".join(cards))


if __name__ == "__main__":
    if sys.argv[1] == "read":
        read(sys.argv[2])
    else:
        write(sys.argv[2], sys.argv[3], sys.argv[4])
