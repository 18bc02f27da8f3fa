# The MIME types of the picture files the editor opens. The desktop entry's
# MimeType= list is made from this list; a format the editor learns to read
# adds its type here (shared-mime-info's canonical name).
set(CORVELLIN_READ_MIME_TYPES
  image/jpeg
  image/bmp
)
