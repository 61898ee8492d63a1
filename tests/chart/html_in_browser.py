"""The HTML chart of large_console.ncf opened in headless Chromium: printed to PDF on A4
and on Letter paper, and a screenshot taken. The page must load nothing from elsewhere
and run nothing.

    html_in_browser.py PLENUM CHROMIUM CONFIG [SCREENSHOT.png]
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

from chart_support import run_plenum


def chromium(browser, profile, *words):
    return subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu",
                           "--no-first-run", "--disable-extensions",
                           f"--user-data-dir={profile}", *words],
                          capture_output=True, timeout=120)


def main():
    plenum, browser, config = sys.argv[1:4]
    keep = sys.argv[4] if len(sys.argv) > 4 else None
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        page = os.path.join(folder, "chart.html")
        run = run_plenum(plenum, "--chart=html", "--output", page, config)
        if run.returncode != 0:
            print(f"FAIL plenum ended {run.returncode}: {run.stdout!r}")
            sys.exit(1)
        with open(page, encoding="utf-8") as handle:
            html = handle.read()
        if re.search(r"<script|\bsrc\s*=|<link|@import|https?://", html, re.I):
            failures.append("the page refers to something outside itself or runs a script")
        if "@page" not in html:
            failures.append("no print page rule")
        # Paper sizes are given in the print dialog, not by the page: print to both.
        for paper, width, height in (("A4", "8.27", "11.69"), ("Letter", "8.5", "11")):
            pdf = os.path.join(folder, f"chart-{paper}.pdf")
            html_paper = os.path.join(folder, f"chart-{paper}.html")
            with open(html_paper, "w", encoding="utf-8") as handle:
                handle.write(html.replace("@page {", f"@page {{ size: {width}in {height}in;", 1))
            run = chromium(browser, os.path.join(folder, "profile"), "--print-to-pdf=" + pdf,
                           "--no-pdf-header-footer", "file://" + html_paper)
            if not os.path.exists(pdf):
                failures.append(f"no PDF on {paper}: {run.stderr.decode(errors='replace')[-300:]}")
                continue
            with open(pdf, "rb") as handle:
                data = handle.read()
            pages = len(re.findall(rb"/Type\s*/Page[^s]", data))
            box = re.search(rb"/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)", data)
            print(f"{paper}: {len(data)} bytes, {pages} pages, media box "
                  f"{box.group(1).decode() if box else '?'} x {box.group(2).decode() if box else '?'}")
            if not data.startswith(b"%PDF") or pages < 2:
                failures.append(f"{paper}: not a PDF of several pages")
            if box and abs(float(box.group(1)) - float(width) * 72) > 2:
                failures.append(f"{paper}: page width {box.group(1)}")
        shot = os.path.join(folder, "chart.png")
        chromium(browser, os.path.join(folder, "profile"), "--screenshot=" + shot,
                 "--window-size=900,1200", "--hide-scrollbars", "file://" + page)
        if not os.path.exists(shot):
            failures.append("no screenshot")
        else:
            with open(shot, "rb") as handle:
                if handle.read(8) != b"\x89PNG\r\n\x1a\n":
                    failures.append("the screenshot is no PNG")
            if keep:
                shutil.copyfile(shot, keep)
                print(f"screenshot in {keep}")
    for failure in failures:
        print("FAIL " + failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
