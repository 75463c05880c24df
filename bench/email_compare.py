#!/usr/bin/env python3
"""Times Python's mailbox module reading an mbox file: every message's headers and its
decoded text parts, as a yardstick for email_import_bench --measure on the same file.

    email_compare.py FILE
"""

import mailbox
import sys
import time


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: email_compare.py FILE")
    start = time.perf_counter()
    count = 0
    for message in mailbox.mbox(sys.argv[1]):
        fields = [message.get(name, "") for name in
                  ("Subject", "Date", "From", "Reply-To", "To", "Cc", "References")]
        texts = []
        for part in message.walk():
            if part.get_content_maintype() == "text":
                payload = part.get_payload(decode=True) or b""
                texts.append(payload.decode(part.get_content_charset() or "latin-1", "replace"))
        count += 1 if fields is not None and texts is not None else 0
    seconds = time.perf_counter() - start
    print(f"python mailbox: {count} messages in {seconds:.3f} s")
    print(f"seconds {seconds:.6f}")


if __name__ == "__main__":
    main()
