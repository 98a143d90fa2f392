;;; Runs flyspell over a file with enchant-2 (American English) as the speller and prints each
;;; flagged word with its buffer position.  FLY_LARGE non-empty makes flyspell check the whole
;;; buffer as one large region (a list-mode run) instead of word by word.
(require 'ispell)
(require 'flyspell)
(let ((file (pop command-line-args-left))
      (large (not (equal (or (getenv "FLY_LARGE") "") ""))))
  (setq ispell-program-name "enchant-2"
        ispell-dictionary "en_US"
        ispell-personal-dictionary nil
        flyspell-issue-message-flag nil
        flyspell-large-region (if large 0 most-positive-fixnum))
  (with-current-buffer (find-file-noselect file)
    (flyspell-buffer)
    (let (flagged)
      (dolist (overlay (overlays-in (point-min) (point-max)))
        (when (flyspell-overlay-p overlay)
          (push (cons (overlay-start overlay)
                      (buffer-substring-no-properties (overlay-start overlay)
                                                      (overlay-end overlay)))
                flagged)))
      (dolist (word (sort flagged (lambda (a b) (< (car a) (car b)))))
        (princ (format "FLAGGED %d %s\n" (car word) (cdr word)))))))
