#!/usr/bin/env python3
"""An independent computation of the tonnage report spool (sharing nothing with
the C++ code but the report's rules), and random data files to check it against.

  report_reference.py generate COUNT SEED FOLDER
      writes FOLDER/case_NNN.K81 (a data file Open reads back unchanged: its own
      WORK.TMP), case_NNN.version and case_NNN.SPL (the spool computed here, run
      07/01/2026 14:05:09). Numbers are formatted as the program does: the
      15-significant-digit decimal of a double, rounded half away from zero.
"""
import random
import re
import sys
from decimal import Decimal, ROUND_HALF_UP, ROUND_HALF_EVEN

STAMP = ("07/01/2026", "14:05:09")
# Latin-1 upper case: a-z and the accented letters but the division sign.
UPPER = {o: o - 0x20 for o in [*range(0x61, 0x7B), *range(0xE0, 0xFF)] if o != 0xF7}


# ---------------------------------------------------------------- numbers

def dec15(x):
    return Decimal("%.14e" % x)


def fmt(x, mask):
    """Mask of '#' and '0' with the fraction all '0' (every mask the report uses)."""
    whole_mask, _, frac_mask = mask.partition(".")
    places = len(frac_mask)
    d = dec15(x).quantize(Decimal(1).scaleb(-places), rounding=ROUND_HALF_UP)
    whole, _, frac = format(abs(d), "f").partition(".")
    out = whole.lstrip("0").rjust(whole_mask.count("0"), "0") + ("." + (frac + "0" * places)[:places] if places else "")
    return ("-" if d < 0 else "") + (out or "0")


def amount(x, width, decimals):
    return fmt(x, "####0" + ("." + "0" * decimals if decimals else "")).rjust(width)


def d3(x):
    return float(fmt(x, "####0.000"))


def val(text):
    """Leading numeric part: blanks skipped, sign, digits and one period."""
    number = re.match(r"[ \t]*([+-]?[0-9]*\.?[0-9]*)", text).group(1)
    return float(number) if re.search("[0-9]", number) else 0.0


def clng(x):
    return max(-2**31, min(2**31 - 1, int(dec15(x).quantize(Decimal(1), rounding=ROUND_HALF_EVEN))))


def cols(line, a, b=None):
    """Columns a..b (1-based), b None meaning to the end."""
    return line[a - 1:] if b is None else line[a - 1:b]


# ---------------------------------------------------------------- report

class Report:
    def __init__(self, version, date, time):
        self.version, self.date, self.time = version, date, time
        self.err, self.main = [], []     # error report lines; (line, is page-number line)
        self.mpage = self.epage = self.code = self.expected = 0
        self.mcount = self.ecount = 99
        self.batch = self.tons = self.metric = False
        self.grav, self.comments, self.ref, self.proj, self.eng = 0.0, "", "", "", ""
        self.totals, self.slots = [0.0] * 6, {}   # slots by date key

    # page header, both reports
    def header(self, page):
        l1 = " " + self.version
        lines = [l1] if len(l1) >= 32 else []    # already reaches column 32
        lines.append((" " * 31 if lines else l1.ljust(31)) + "QUARRENDALE "
                     + ("(METRIC TONS)" if self.metric else "(TONNAGE)"))
        numbered = len(lines)
        return lines + [" PROGRAM HARKST81      DATE PROC " + self.date + "    TIME PROC " + self.time
                        + "   PAGE " + fmt(page, "##0").rjust(5),
                        " REF. # - " + self.ref.ljust(7) + "     PROJECT NO. " + self.proj,
                        " SUBM ENGINEER: " + self.eng, " DATA IS IN " + ("METRIC" if self.metric else "ENGLISH")], numbered

    def check_main(self):
        if self.mcount < 57:
            return
        self.mpage += 1
        self.main += [("\f", False)] if self.mpage > 1 else []
        lines, numbered = self.header(self.mpage)
        self.main += [(l, i == numbered) for i, l in enumerate(lines)]
        M, date = self.metric, " " * 7 + "DATE" + " " * 14
        t, u, v = ("MTON", " L  ", "LITTERS") if M else ("TONS", "GALS", "GALLONS")
        if self.code == 3:
            extra = [" ", date + "PROJECT MATERIAL", " " * 19 + "THEO %s       KP %s   CALC. PAY %s   THEO %%     KP %%"
                     % (t, t, u)]
        elif self.code == 4:
            extra = [" ", date + "PRIVATE WORK OR WASTE MATERIAL", " " * 18 + (
                "THEO MTON      THEO  L    KP MTON     KP  L  " if M else "THEO TONS    THEO GALS    KP TONS   KP GALS")]
        elif self.code == 5:
            extra = [" ", "    SUMMARY OF %s BY MONTH FROM PRECEEDING CALC. PAY %s" % (v, v)]
        else:
            extra = [" ", " PAGE NO      DATE    AGGR. WT   ASPH WT    TOT WT    KP TOT" if self.code == 1
                     else " PAGE NO      DATE    GROSS WT   TARE WT    NET WT    KP NET",
                     " ***SPEC. GRAV. THIS BOOK = " + fmt(self.grav, "##0.0000").rjust(7) + "      " + self.comments, " "]
        self.main += [(l, False) for l in extra]
        self.mcount = {3: 8, 4: 8, 5: 7}.get(self.code, 10)

    def check_err(self):
        if self.ecount < 57:
            return
        self.epage += 1
        self.err += (["\f"] if self.epage > 1 else []) + self.header(self.epage)[0] + [" ", "    ERROR REPORT"]
        self.ecount = 7

    def m(self, *lines):
        self.main += [(l, False) for l in lines]

    def put(self, *lines):
        """Lines of the main report on one page, a new one first if it is full."""
        self.check_main()
        self.m(*lines)
        self.mcount += len(lines)

    def error_line(self, *lines):
        self.check_err()
        self.err += lines
        self.ecount += len(lines)

    def run(self, lines):
        first = lines[0].translate(UPPER) if lines else ""
        if cols(first, 1, 5) not in ("BST81", "CST81"):
            return ["*" * 45, "    DATA FORMAT IS INVALID", "*" * 45]
        self.ref, self.proj = cols(first, 7, 13).strip(" "), cols(first, 15, 25).strip(" ")
        if cols(first, 1, 5) == "CST81":
            units, self.eng = cols(first, 38, 38).strip(" "), cols(first, 40).strip(" ")
        else:
            self.eng, units = cols(first, 38, 50).strip(" "), cols(first, 52, 52).strip(" ")
        self.metric = units == "M"
        self.check_err()
        books = 0
        for line in (raw.translate(UPPER) for raw in lines[1:]):
            if line[:1] != "*":
                self.ticket(line)
                continue
            if books:
                self.book_totals()
            self.start_book(line)
            books += 1
        self.book_totals()
        self.summaries()
        out, page = self.err + ["\f"], self.epage
        for line, numbered in self.main:
            if numbered:
                page += 1
                line = line[:73].ljust(73) + fmt(page, "###0").rjust(5)
            out.append(line)
        return out

    def start_book(self, line):
        self.grav, self.comments = val(cols(line, 5, 10)), cols(line, 12).strip(" ")
        code = cols(line, 3, 3)
        self.batch, self.tons, self.expected = code == "2", code == "1", 0
        self.code, self.mcount = 1 if self.batch else 0, 99
        self.check_main()
        self.error_line(" ", "  " + self.comments.ljust(35) + "  " + fmt(self.grav, "##0.0000").rjust(7))

    def slot_for(self, date):
        key = (cols(date, 7, 10) + cols(date, 1, 2) + cols(date, 4, 5)).ljust(8).replace(" ", "0")
        if key not in self.slots and len(self.slots) < 250:
            self.slots[key] = dict(key=key, **dict.fromkeys("pt pk vt vk vtg vkg ga pa dg pay".split(), 0.0))
        return self.slots.get(key)

    def num(self, w, pounds_width):
        if self.tons:
            return amount(w / (1000.0 if self.metric else 2000.0), 10, 3)
        return amount(w, 10, 3) if self.metric else amount(w, pounds_width, 0)

    def ticket(self, line):
        self.check_main()
        page = clng(val(cols(line, 1, 6)))
        date = cols(line, 8, 17).strip(" ")
        f1, f2, f3 = (cols(line, a, a + 8).strip(" ") for a in (19, 29, 39))
        w1, w2, w3 = val(f1), val(f2), val(f3)
        pct = val(cols(line, 49, 54))
        priv, void, note = (cols(line, c, c) == "Y" for c in (56, 58, 60))
        if self.tons:
            w1, w2, w3 = (d3(w * (1000.0 if self.metric else 2000.0)) for w in (w1, w2, w3))
        err, tag = False, ""
        kp = theo = d3(w3)
        if page != (self.expected or page):
            self.error_line(" *** ERROR *** PAGE ORDER ERROR")
            err, tag = True, "PAGE ORDER"
        self.expected = page + 1
        s = None if void else self.slot_for(date)
        if void:
            self.put(" " + fmt(page, "###0").rjust(10) + "  " + date.rjust(10) + " " * 52 + tag,
                     " -------- VOID, STATE REASON:", " ")
        elif s is None:
            self.error_line(" *** ERROR *** TABLE IS FULL")
            err = True
        else:
            if f1 != "" and f2 != "":
                theo = d3(w1 + w2) if self.batch else d3(w1 - w2)
                if self.batch and self.grav > 0:
                    s["ga"] += w2; s["dg"] = self.grav
                elif self.batch:
                    s["pa"] += w2
                elif w1 < w2:
                    self.error_line(" *** ERROR *** GROSS LESS THAN TARE")
                    err = True
                if kp != theo:
                    self.error_line(" *** ERROR *** THEO = " + fmt(theo, "#####0.000").rjust(15)
                                    + "  KP = " + fmt(kp, "#####0.000").rjust(15))
                    err = True
            tg = kg = 0.0
            t, p, i = self.totals, "v" if priv else "p", 2 if priv else 0
            s[p + "k"] += kp; t[i + 1] += kp
            s[p + "t"] += theo; t[i] += theo
            if priv and pct != 0:
                tg, kg = (w * pct * 0.009817784 if self.metric else w * pct / 850.0004 for w in (theo, kp))
                s["vtg"] += tg; s["vkg"] += kg
                t[4] += tg; t[5] += kg
            word = (" MTON " if self.metric else " TONS ") if self.tons else (" KGS  " if self.metric else " LBS  ")
            self.put(" " + fmt(page, "##0").rjust(6) + "  " + date.rjust(10) + "  "
                     + (self.num(w1, 6) if w1 != 0 else "").ljust(10) + " "
                     + (self.num(w2, 6) if w2 != 0 else "").ljust(10) + " "
                     + self.num(theo, 7).ljust(10) + " "
                     + (self.num(kp, 6) if kp != theo else "").ljust(10) + word + tag)
            extra = [" -------- NOTE"] if note else []
            if priv and pct == 0:
                extra.append(" --------  PVT. WORK OR WASTE, NO BITUMEN PUNCHED")
            elif priv:
                th, kpw, g, d = (" TH L =", " KP L = ", 10, 3) if self.metric else (" THGAL=", " KPGAL= ", 6, 0)
                extra.append(" -------- PRVT- %BITUM= " + fmt(pct, "###0.000").rjust(7) + th
                             + amount(tg, g, d).ljust(10) + kpw + amount(kg, g, d).ljust(10))
            for l in extra + [" "] if extra else []:
                self.put(l)
        if err:
            self.error_line(" " + line.rstrip(" "), " ")

    def book_totals(self):
        self.mcount += 6
        self.check_main()
        t, k = self.totals, 1000.0 if self.metric else 2000.0
        pair = ((lambda a, b: amount(a, 12, 3) + " " + amount(b, 12, 3)) if self.metric
                else (lambda a, b: amount(a, 8, 0) + "     " + amount(b, 8, 0)))
        wl, tl, gl = ("KGS  ", "MTON ", "L    ") if self.metric else ("LBS  ", "TONS ", "GALS ")
        tons = lambda a, b: amount(a / k, 12, 3) + " " + amount(b / k, 12, 3)
        p18, pw = " " * 18 + "BOOK TOTAL  ", " PRIVATE_WASTE    BOOK TOTAL  "
        self.m(" ", p18 + wl + pair(t[0], t[1]), p18 + tl + tons(t[0], t[1]), pw + wl + pair(t[2], t[3]),
               pw + tl + tons(t[2], t[3]), pw + gl + pair(t[4], t[5]))
        self.totals, self.mcount = [0.0] * 6, 0

    def summaries(self):
        M, conv = self.metric, 3.785306 / 0.4535924
        k, gd = (1000.0, 3) if M else (2000.0, 0)   # tons; decimals of the gallons
        plain, water = (8.5 / conv, 8.3282 / conv) if M else (8.5, 8.3282)
        pctf = 0.425 * (0.264172 / (2.204623 / 2.0)) if M else 0.425
        show = lambda key: key[4:6] + "/" + key[6:8] + "/" + key[0:4]
        slots = sorted(self.slots.values(), key=lambda s: s["key"].encode("latin-1"))

        self.code, self.mcount = 3, 99
        tt = tk = tg = 0.0
        for s in slots:
            theo_t, kp_t = s["pt"] / k, s["pk"] / k
            g = s["pa"] / plain if s["pa"] > 0 else 0.0
            g = g + s["ga"] / (water * s["dg"]) if s["ga"] > 0 else g
            if not s["pt"] > 0:
                theo_t = kp_t = g = 0.0
            tp = 0.0 if theo_t == 0 else g / theo_t * pctf
            kpp = 0.0 if kp_t == 0 else g / kp_t * pctf
            s["pay"] += g
            tt += s["pt"]; tk += s["pk"]; tg += g
            self.put(" ", " " + show(s["key"]).rjust(10) + "       " + amount(theo_t, 10, 3) + "    " + amount(kp_t, 10, 3)
                     + "    " + amount(g, 13, gd) + "   " + amount(tp, 6, 2) + "   " + amount(kpp, 6, 2))
        self.m(" ", "    TOTAL        " + amount(tt / k, 11, 3) + "   " + amount(tk / k, 11, 3) + "    " + amount(tg, 13, gd))

        self.code, self.mcount = 4, 99
        vt = vk = vtg = vkg = 0.0
        gal = (lambda x: amount(x, 10, 3)) if M else (lambda x: fmt(x, "####0").rjust(6).ljust(10))
        for s in slots:
            if s["vt"] > 1.0:
                a, b = s["vt"] / k, s["vk"] / k
                vt += s["vt"]; vk += s["vk"]
            else:
                a = b = s["vtg"] = s["vkg"] = 0.0
            vtg += s["vtg"]; vkg += s["vkg"]
            self.put(" ", " " + show(s["key"]).rjust(10) + "      " + amount(a, 10, 3) + "  " + gal(s["vtg"]) + "  "
                     + amount(b, 10, 3) + "  " + gal(s["vkg"]))
        tgal = (lambda x: amount(x, 11, 3)) if M else (lambda x: amount(x, 7, 0).ljust(11))
        self.m(" ", "    TOTAL       " + amount(vt / k, 11, 3) + " " + tgal(vtg) + " " + amount(vk / k, 11, 3) + " " + tgal(vkg))

        self.code, self.mcount = 5, 99
        first = slots[0]["key"] if slots else "00000000"
        frm = to = show(first)
        month, total = first[0:6], 0.0     # year and month
        month_line = lambda: (" ", " " * 10 + frm + "  TO  " + to + "     " + amount(total, 13, gd))
        for s in slots:
            self.check_main()
            if s["key"][0:6] == month:
                total += s["pay"]
                to = show(s["key"])
            else:
                self.m(*month_line())
                self.mcount += 2
                frm = to = show(s["key"])
                month, total = s["key"][0:6], s["pay"]
        self.m(*month_line())
        self.mcount = 0


# ---------------------------------------------------------------- generator

def cell(value, metric, code):
    if value is None:
        return " " * 10
    if not metric and code in "02":
        return fmt(float(Decimal(repr(value)).quantize(Decimal(1), rounding=ROUND_HALF_EVEN)), "####0").rjust(5) + " " * 5
    return fmt(value, "####0.000").rjust(9) + " "


def ticket_line(page, date, w, pct, priv, void, note, metric, code):
    return (fmt(page, "000000") + " " + date.ljust(10) + " " + "".join(cell(x, metric, code) for x in w)
            + ((fmt(pct, "#0.000").rjust(6) + " ") if pct is not None else " " * 7)
            + ("Y " if priv else "  ") + ("Y " if void else "  ") + ("Y" if note else " "))


WORDS = ("SURFACE BINDER BASE COURSE SP 12.5 19.0 NB SB LANES RAMPS SHOULDERS PG 64-22 58-28 BATCH MILE 14 TO 19 "
         "OVERLAY WEARING AC KM LEVELING PATCHING TH 61 I-80 WIDENING").split()


def comments(rng):
    if rng.random() < 0.05:   # "PAGE" in columns 69-72 of the gravity line
        return "SURFACE COURSE SP 12.5 NB  PAGE 7"
    if rng.random() < 0.05:
        return ("WEARING COURSE AC 11 KM 12.4-14.1 X" * 2)[:35]
    return " ".join(rng.choice(WORDS) for _ in range(rng.randint(2, 7)))[:35].rstrip(" ")


def make_case(rng, big_dates=False):
    metric = rng.random() < 0.4
    older = rng.random() < 0.1
    ref = rng.choice(["4417", "7302", "M-2231", "5120", ""])
    proj = rng.choice(["STP-0312(8)", "IM-080-4(2)", "NH-0047-21", ""])
    eng = rng.choice(["R. HALVORSEN", "T. VANDERMOLEN", "D. OKONKWO-BRANDT", ""])
    units, head = "M" if metric else "E", ref.ljust(7) + " " + proj.ljust(11) + " "
    lines = ["BST81 " + head + "05/14/2001 " + eng[:13].ljust(13) + " " + units if older
             else "CST81 " + head + "10/06/2026 " + units + " " + eng]
    # Days counted from year 0 in months of 28 days: every date a real one.
    day = (rng.choice([2005, 2025, 2026]) * 12 + rng.randint(0, 11)) * 28 + rng.randint(0, 27)
    for _ in range(rng.randint(0, 4) if not big_dates else 2):
        code = rng.choice("012")
        grav = rng.choice([0.0, 0.0, 1.02, 1.025, 1.03, 1.032])
        lines.append("* " + code + " " + fmt(grav, "0.0000") + " " + comments(rng))
        page = rng.randint(1, 90000)
        for _ in range(200 if big_dates else rng.choice([0, 1, 5, 20, 60, 140])):
            # Mostly consecutive work days, sometimes a jump across a year
            # end; with big_dates a new date for nearly every ticket.
            if big_dates or rng.random() < 0.3:
                day += 1
            if not big_dates and rng.random() < 0.01:
                day += 336               # the same day of the next year
            first = big_dates and rng.random() < 0.1
            date = "%02d/%02d/%04d" % (day % 336 // 28 + 1, 1 if first else day % 28 + 1, day // 336)
            date = "" if rng.random() < 0.01 else date    # a row typed without its date
            r = rng.random()
            page += 1
            if r < 0.05:
                page += rng.randint(1, 3)   # gap
            elif r < 0.07:
                page -= rng.randint(1, 2)   # back
            page = max(page, 1)
            w1 = rng.uniform(34000, 46000) if code == "2" else rng.uniform(52000, 80000)
            w2 = w1 * rng.uniform(0.04, 0.07) if code == "2" else rng.uniform(26000, 32000)
            if metric:
                w1, w2 = w1 * 0.4535924, w2 * 0.4535924
            if code == "1":                 # a book in tons
                w1, w2 = w1 / (1000 if metric else 2000), w2 / (1000 if metric else 2000)
            dec = 3 if (metric or code == "1") else 0
            w1, w2 = round(w1, dec), round(w2, dec)
            w3 = w1 + w2 if code == "2" else w1 - w2
            e = rng.random()
            if e < 0.04:
                w3 += rng.choice([1, -1, 20, 0.012] if dec else [1, -1, 20])
            elif e < 0.06 and code != "2":
                w1, w2 = w2, w1             # gross less than tare
            w = [w1, w2, round(w3, dec)]
            w[1] = None if rng.random() < 0.03 else w[1]    # blank tare
            w[0] = None if rng.random() < 0.01 else w[0]
            priv = rng.random() < 0.1
            pct = rng.choice([None, 4.8, 5.2, 5.5, 6.1]) if rng.random() < 0.6 else None
            void, note = rng.random() < 0.03, rng.random() < 0.05
            lines.append(ticket_line(page, date, [None] * 3 if void else w, pct, priv, void, note, metric, code))
    if rng.random() < 0.02:
        lines[0] = "HELLO" + lines[0][5:]
    return lines


def main(argv):
    if len(argv) != 5 or argv[1] != "generate":
        sys.stderr.write(__doc__)
        return 2
    rng = random.Random(int(argv[3]))
    for i in range(int(argv[2])):
        lines = make_case(rng, big_dates=(i % 50 == 7))
        version = rng.choice(["PRAX V4.2.1 04/2006"] * 6
                             + ["PRAX V4.2.1 04/2006 WITH A LONGER TEXT", "V" * 30, "V" * 31])
        for ext, text in ((".K81", "".join(l + "\r\n" for l in lines)), (".version", version),
                          (".SPL", "".join(l + "\r\n" for l in Report(version, *STAMP).run(lines)))):
            open("%s/case_%03d%s" % (argv[4], i, ext), "wb").write(text.encode("latin-1"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
