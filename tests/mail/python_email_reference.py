#!/usr/bin/env python3
"""What Python's email package reads from one message, in the shape the mail client stores it.

    python_email_reference.py MESSAGE.eml

Prints, one per line:
    body <base64 of the body text as UTF-8>
    attachment <base64 of the file name as UTF-8> <base64 of the decoded content>
the body first, then the attachments in the order they appear in the message.

How the parts Python finds map onto what the client stores:
- A message of one part: its decoded text is the body; there are no attachments.
- In a multipart message, each child of a multipart is taken in order:
  - text/html: an attachment named by the running counter, "1.html", "2.html", ...
  - the first text/plain part anywhere: the body (a later text/plain is an attachment);
  - multipart/alternative: no attachment, its children are taken in turn;
  - any other multipart: the client keeps the container as an attachment of its own, holding the
    text before its first boundary (Python's preamble), then takes its children in turn;
  - anything else: an attachment named by the "filename" parameter of Content-Disposition (the
    "name" of Content-Type is not used), else "不明" or, for base64, "添付" + the counter.
- No text/plain part: the body is empty.
"""

import base64
import email
import sys
from email import policy


def b64(data):
    return base64.b64encode(data).decode("ascii")


class Reader:
    def __init__(self):
        self.body = None
        self.counter = 0
        self.attachments = []

    def generated_name(self, part):
        encoding = (part.get("Content-Transfer-Encoding") or "").strip().lower()
        self.counter += 1
        return ("添付" if encoding == "base64" else "不明") + str(self.counter)

    def name(self, part):
        filename = part.get_param("filename", header="content-disposition")
        if filename is None:
            return self.generated_name(part)
        return email.utils.collapse_rfc2231_value(filename)

    def child(self, part):
        content_type = part.get_content_type()
        if content_type == "text/html":
            self.counter += 1
            self.attachments.append((f"{self.counter}.html", part.get_payload(decode=True)))
        elif content_type == "text/plain" and self.body is None:
            self.body = part.get_content()
        elif part.get_content_maintype() == "multipart":
            if part.get_content_subtype() != "alternative":
                preamble = (part.preamble or "").encode("ascii", "surrogateescape")
                self.attachments.append((self.name(part), preamble))
            for sub in part.iter_parts():
                self.child(sub)
        else:
            self.attachments.append((self.name(part), part.get_payload(decode=True)))


def main():
    with open(sys.argv[1], "rb") as file:
        message = email.message_from_binary_file(file, policy=policy.default)
    reader = Reader()
    if message.is_multipart():
        for part in message.iter_parts():
            reader.child(part)
    else:
        reader.body = message.get_content()
    print("body", b64((reader.body or "").encode("utf-8")))
    for name, content in reader.attachments:
        print("attachment", b64(name.encode("utf-8")), b64(content))


if __name__ == "__main__":
    main()
